#pragma once

#include <QString>

#include <span>

namespace orv {

enum class Language { English, French };

// One numbered interface text in both built-in languages. The texts are stored and shown
// exactly as written here: "&" marks an accelerator, and a two-line text joins its lines
// with a lone carriage return, because that is how every window reads them back.
struct LanguageText {
    int number;
    const char16_t* english;
    const char16_t* french;
};

// All texts, in the order in which they are written to the settings store.
std::span<const LanguageText> languageTable();

// The text with that number in the given language; empty when the number is not in the table.
QString languageText(Language lang, int number);

// The value stored as the active language: "English" or "French".
QString languageName(Language lang);

// The one-line copyright notice, stored under Infos/Copyright and ending text 62.
QString copyrightNotice();

} // namespace orv
