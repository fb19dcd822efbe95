#include "app/core/languagetable.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace orv {

namespace {

constexpr char16_t kCopyright[] = u"Copyright (C) 2026 the Orvane Viewer developers";

// first + CR + second, as one constant string, so text 62 can live in the table whole.
template <std::size_t N, std::size_t M>
consteval std::array<char16_t, N + M> joinLines(const char16_t (&first)[N], const char16_t (&second)[M])
{
    std::array<char16_t, N + M> out{};
    std::size_t at = 0;
    for (std::size_t i = 0; i + 1 < N; ++i)
        out[at++] = first[i];
    out[at++] = u'\r';
    for (std::size_t i = 0; i + 1 < M; ++i)
        out[at++] = second[i];
    out[at] = u'\0';
    return out;
}

constexpr auto kText62English = joinLines(u"Slide Show Module for Orv", kCopyright);
constexpr auto kText62French = joinLines(u"Module de Diaporama pour Orv", kCopyright);

constexpr LanguageText kTable[] = {
    {1, u"&Quit", u"&Quitter"},
    {2, u"&Slide Show", u"&Diaporama"},
    {3, u"&Text Editor", u"&Editeur"},
    {4, u"&Palette Viewer", u"&Palettes"},
    {5, u"&Options", u"&Options"},
    {6, u"&About...", u"&A propos..."},
    {7, u"Activate full screen mode", u"Active le mode plein écran"},
    {8, u"Visit our site !", u"Visitez notre site"},
    {9, u"Previous directory", u"Répertoire précédent"},
    {10, u"Root", u"Racine"},
    {11, u"No picture selected yet", u"Aucune image selectionnée"},
    {12, u"Picture Path", u"Chemin de l'image"},
    {13, u"Time", u"Heure"},
    {14, u"Date", u"Date"},
    {15, u"&All", u"&Tout"},
    {16, u"A&udio", u"&Sons"},
    {17, u"&Executable", u"E&xécutables"},
    {18, u"&Help", u"&Aides"},
    {19, u"H&TML", u"&HTML"},
    {20, u"&Pictures", u"&Images"},
    {21, u"Te&xts", u"&Textes"},
    // The French "fi" was once lost here, leaving "&Conguration...".
    {22, u"&Setup...", u"&Configuration..."},
    {23, u"&Print", u"&Imprimer"},
    {24, u"&Root", u"&Racine"},
    {25, u"&Previous", u"&Précédent"},
    {200, u"All Supported Files", u"Fichiers Supportés"},
    {201, u"Audio Files", u"Fichiers Audio"},
    {202, u"Avi Files", u"Fichiers Avi"},
    {203, u"Executables", u"Exécutables"},
    {204, u"Help Docs", u"Documents d'Aide"},
    {205, u"HTML Docs", u"Documents HTML"},
    {206, u"Pictures Files", u"Images"},
    {207, u"Text Files", u"Fichiers Textes"},
    {33, u"    Orvane Viewer is a fast and efficient viewer", u"    Orvane Viewer est un visualiseur de fichiers multimédia"},
    {34, u"    Supported file types:", u"    Types de fichiers supportés:"},
    {35, u"Language", u"Langage"},
    {36, u"English", u"Anglais"},
    {37, u"French", u"Français"},
    {38, u"Start directory", u"Répertoire de démarrage"},
    {39, u"Use as default ?", u"Par défaut ?"},
    {40, u"Yes", u"Oui"},
    {41, u"No", u"Non"},
    {42, u"&Set", u"&Valider"},
    {43, u"&Cancel", u"&Annuler"},
    {46, u"Color Preview:", u"Couleur actuelle:"},
    {47, u"About", u"A propos"},
    {48, u"Visit the Vorla Team !", u"Visitez Vorla Team !!"},
    {49, u"Red:", u"Rouge:"},
    {50, u"Green:", u"Vert:"},
    {51, u"Blue:", u"Bleu:"},
    {52, u"Open a palette file", u"Ouvrir un fichier palette"},
    {53, u"256 Colors Palette Viewer", u"Visualiseur de Palettes 256 couleurs"},
    {54, u"This file can't be read !", u"Ce fichier ne peut être lu !"},
    {55, u"Bad file type or file doesn't exist", u"Mauvais type de fichier ou celui-ci n'existe pas"},
    {56, u"Read Error", u"Erreur de Lecture"},
    {57, u"Would you like to run the following application:", u"Voulez-vous lancer l'application suivante:"},
    {58, u"Executable file is about to be launched", u"Une application va être lancée"},
    {59, u"In line parameters (blank for none):", u"Ligne de commande:"},
    {60, u"Parameters", u"Paramètres"},
    {61, u"&Control Panel", u"Panneau de &Configuration"},
    {62, kText62English.data(), kText62French.data()},
    {63, u"&File", u"&Fichier"},
    {64, u"&Open", u"&Ouvrir"},
    {65, u"&Save", u"&Sauver"},
    {66, u"&Quit", u"&Quitter"},
    {67, u"&Slide", u"&Diaporama"},
    {68, u"&Play", u"&Jouer"},
    {69, u"Wait for &Keypress", u"Attendre &événement"},
    {70, u"Wait for &Timer", u"Attendre n &secondes"},
    {71, u"&Loop", u"&Boucler"},
    {72, u"&About...", u"&A propos..."},
    {73, u"Slide Show Module", u"Module de Diaporama"},
    {74, u"&Add", u"&Ajouter"},
    {75, u"A&dd All", u"Ajouter &Tout"},
    {76, u"&Remove", u"&Enlever"},
    {77, u"Re&move All", u"Enle&ver Tout"},
    {78, u"An error has occured\rSelected drive is not available", u"Une erreur s'est produite\rLe lecteur sélectionné n'est pas accessible"},
    {79, u"You made changes\rWould you like to save them now ?", u"Vous avez fait des changements\rVoulez-vous les sauver maintenant ?"},
    {80, u"Chosen file is not a valid Orv Slide Show data !\rPlease retry.", u"Fichier Diaporama non valide !\rVeuillez réessayer."},
    {81, u"Not a valid file", u"Fichier non valide"},
    {82, u"You didn't select any file to play", u"Aucun fichier n'a été sélectionné"},
    {83, u"No selection !", u"Aucune sélection n'a été faite !"},
    {84, u"Not a valid number !", u"Veuillez entrer un nombre !"},
    {85, u"How many seconds ?", u"Combien de secondes ?"},
    {86, u"Choose an interval", u"Choisissez l'intervalle"},
    {87, u"Not a 8 bits bitmap (256 colors).", u"Choisissez une palette 8 bits (256 couleurs)."},
    {88, u"Not a valid JASC palette !", u"La palette n'est pas au format JASC !"},
    {89, u"Not a 256 colors JASC palette !", u"La palette JASC n'es pas une palette 8 bits !"},
    {90, u"Slide Show is playing ", u"Diaporama: "},
    {91, u"&Show Filename", u"&Voir nom du fichier"},
    {92, u"&Choose Color", u"&Choisir une couleur"},
    {93, u"Show &Cursor", u"Voir &curseur"},
    {107, u"Play avi in full-screen mode ?", u"Jouer l'avi en mode plein écran ?"},
    {108, u"Movie", u"Film"},
    {109, u"&Maximize", u"&Maximiser"},
    {110, u"No printer is set up. Choose one, or a file to print to, with \"Setup...\".",
     u"Aucune imprimante n'est configurée. Choisissez-en une, ou un fichier, avec \"Configuration...\"."},
    {111, u"The picture could not be printed.", u"L'image n'a pas pu être imprimée."},
};

static_assert(std::size(kTable) == 97);

} // namespace

std::span<const LanguageText> languageTable()
{
    return kTable;
}

QString languageText(Language lang, int number)
{
    const auto it = std::find_if(std::begin(kTable), std::end(kTable),
                                 [number](const LanguageText& t) { return t.number == number; });
    if (it == std::end(kTable))
        return {};
    return QString::fromUtf16(lang == Language::French ? it->french : it->english);
}

QString languageName(Language lang)
{
    return lang == Language::French ? QStringLiteral("French") : QStringLiteral("English");
}

QString copyrightNotice()
{
    return QString::fromUtf16(kCopyright);
}

} // namespace orv
