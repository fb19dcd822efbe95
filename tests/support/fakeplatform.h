#pragma once

#include "platform/printerservice.h"
#include "platform/core/processenvironment.h"
#include "platform/screenmetrics.h"
#include "platform/trayicons.h"
#include "platform/core/volumelist.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QSet>

namespace orv::test {

// A 96 DPI screen (15 twips per pixel) of a chosen size.
class FakeScreenMetrics final : public ScreenMetrics {
public:
    double tpp = 15.0;
    QSize size{1280, 1024};
    double twipsPerPixelX() const override { return tpp; }
    double twipsPerPixelY() const override { return tpp; }
    QSize screenPixels() const override { return size; }
};

// Volumes a test declares; a volume can be made unready (a removed disc).
class FakeVolumeList final : public VolumeList {
public:
    QList<Volume> list{{QStringLiteral("/"), QStringLiteral("/"), true}};
    QSet<QString> notReady;
    QList<Volume> volumes() const override { return list; }
    bool isReady(const QString& root) const override { return !notReady.contains(root); }
};

// Records every add and remove; holds the current tip per owner.
class RecordingTrayIcons final : public TrayIcons {
public:
    struct Call {
        const QObject* owner;
        QString tip;
        bool add;
    };
    QList<Call> calls;
    QHash<const QObject*, QString> icons;
    QHash<const QObject*, TrayMessageHandler> handlers;
    void add(QObject* owner, const QString& tip, const QIcon&, TrayMessageHandler onMessage) override
    {
        calls.append({owner, tip, true});
        icons.insert(owner, tip);
        handlers.insert(owner, std::move(onMessage));
    }
    void remove(QObject* owner) override
    {
        calls.append({owner, QString(), false});
        icons.remove(owner);
        handlers.remove(owner);
    }
    // What the tray host would report for a mouse event on the owner's icon.
    void send(const QObject* owner, TrayMessage message)
    {
        if (auto h = handlers.value(owner))
            h(message);
    }
    bool has(const QObject* owner) const override { return icons.contains(owner); }
};

// A process whose command line, folders and current folder a test sets; setting the current
// folder is recorded, not done.
class FakeProcessEnvironment final : public ProcessEnvironment {
public:
    QStringList args;
    QString launch;
    QString exeFolder;
    QString current;
    QStringList currentFolderCalls;
    QStringList arguments() const override { return args; }
    QString launchFolder() const override { return launch; }
    QString executableFolder() const override { return exeFolder; }
    QString currentFolder() const override { return current; }
    bool setCurrentFolder(const QString& path) override;
};

// Records the pictures it is asked to print and the set-up calls; its page holds printable
// pixels of a picture.
class RecordingPrinter final : public PrinterService {
public:
    QList<QSize> printed;
    QList<QImage> pictures;
    QSize printable{100000, 100000};
    int setups = 0;
    // What the next pages come to; the pictures are recorded only for a printed one.
    PrintOutcome outcome = PrintOutcome::Printed;
    PrintOutcome printPicture(const QImage& picture, double, double) override
    {
        if (outcome == PrintOutcome::Printed) {
            printed.append(picture.size());
            pictures.append(picture);
        }
        return outcome;
    }
    QSize printableSize(double, double) override { return outcome == PrintOutcome::NoPrinter ? QSize() : printable; }
    void setup(QWidget*) override { ++setups; }
};

} // namespace orv::test
