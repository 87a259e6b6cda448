// Makes the user guide's pictures with the window's own code, offscreen: the
// main window with a file's report and page, the destination dialog as
// Convert opens it, the window after the job with the dithered output of the
// colour photo, and the progress window. Run by the
// "guide-shots" target, which writes them into resources/help.
//
//   make-guide-shots SAMPLES OUTDIR
//
// SAMPLES is the committed sample folder (data/samples); nothing of the
// user's own folders or settings is read or written.
#include "app/ProcessSettings.h"
#include "app/StreamMessageSink.h"
#include "ui/dialogs/DestinationDialog.h"
#include "ui/jobs/BatchJobRunner.h"
#include "ui/jobs/JobCommands.h"
#include "ui/jobs/JobView.h"
#include "ui/jobs/ProgressWindow.h"
#include "ui/main/FileList.h"
#include "ui/main/InfoResultsView.h"
#include "ui/main/MainFrame.h"
#include "ui/preview/PagePreview.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>

using namespace pagesmith;
namespace fs = std::filesystem;

namespace {

constexpr QSize kWindowSize(1000, 620);
constexpr int kGroup4 = 6; // the save format's list entry

bool save(QWidget& widget, const QDir& out, const char* name) {
    const QString file = out.filePath(QString::fromLatin1(name));
    if (widget.grab().save(file))
        return true;
    std::fprintf(stderr, "make-guide-shots: cannot write %s\n", qPrintable(file));
    return false;
}

// The sample files under a desktop of their own, with one fixed time, so the
// pictures differ only where the program does.
bool makeDesktop(const QString& samples, const QString& home, QString& scans, QString& faxed) {
    const QDir desktop(home + QStringLiteral("/Desktop"));
    for (const char* folder : {"Scans", "Archive", "Faxed"}) {
        if (!desktop.mkpath(QString::fromLatin1(folder)))
            return false;
    }
    scans = desktop.filePath(QStringLiteral("Scans"));
    faxed = desktop.filePath(QStringLiteral("Faxed"));
    using namespace std::chrono;
    const auto when = file_clock::from_sys(
        time_point_cast<seconds>(sys_days{year{2024} / March / 15} + hours{9} + minutes{30}));
    const QStringList files = QDir(samples).entryList({QStringLiteral("*.tif")}, QDir::Files);
    for (const QString& name : files) {
        const QString target = QDir(scans).filePath(name);
        if (!QFile::copy(QDir(samples).filePath(name), target))
            return false;
        std::error_code ignored;
        fs::last_write_time(QFile::encodeName(target).toStdString(), when, ignored);
    }
    return !files.isEmpty();
}

void waitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: make-guide-shots SAMPLES OUTDIR\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/home-XXXXXX"));
    if (!home.isValid())
        return 1;
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(variable, QFile::encodeName(home.filePath(QStringLiteral(".xdg"))));
    qunsetenv("XDG_DESKTOP_DIR");

    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QString scans;
    QString faxed;
    if (!out.mkpath(QStringLiteral(".")) ||
        !makeDesktop(QString::fromLocal8Bit(argv[1]), home.path(), scans, faxed)) {
        std::fputs("make-guide-shots: cannot set up the sample desktop\n", stderr);
        return 1;
    }

    ProcessSettings settings;
    settings.logPath = home.filePath(QStringLiteral("log/pagesmithlog.txt")).toStdString();
    settings.scratchPath = home.filePath(QStringLiteral("scratch.tbw")).toStdString();
    StreamMessageSink messages;
    MainFrame frame(settings, messages);
    BatchJobRunner jobs;
    JobCommands commands(frame, jobs, settings, messages);
    frame.connectJobCommands(commands);
    frame.resize(kWindowSize);
    frame.show();
    frame.openFolder(QFile::encodeName(scans).toStdString());
    FileList* list = frame.fileList();
    list->setCurrentIndex(list->model()->index(1, 0));
    frame.showTiffInfo(list->currentName().toStdString());
    PagePreview* preview = frame.pagePreview();
    waitFor([&] { return !preview->isReading(); });
    bool saved = save(frame, out, "guide-window.png");

    // Convert as the user starts it: the dialog, filled in and confirmed.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<DestinationDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        static_cast<QComboBox*>(dialog->control(DestinationDialog::SaveFormatCombo))
            ->setCurrentIndex(kGroup4);
        static_cast<QLineEdit*>(dialog->control(DestinationDialog::SaveFolderEdit))->setText(faxed);
        saved = save(*dialog, out, "guide-destination.png") && saved;
        static_cast<QPushButton*>(dialog->control(DestinationDialog::Ok))->click();
    });
    frame.commandAction(kConvertCommand)->trigger();
    waitFor([&] { return !jobs.isRunning(); });
    waitFor([&] { return frame.findChildren<ProgressWindow*>().isEmpty(); });
    list->setCurrentIndex(list->model()->index(0, 0));
    waitFor([&] { return preview->outputButton()->isEnabled(); });
    preview->outputButton()->click();
    waitFor([&] { return !preview->isReading(); });
    saved = save(frame, out, "guide-results.png") && saved;

    // The progress window of a longer job, a few files in.
    constexpr int kFiles = 12;
    ProgressWindow progress(&frame);
    progress.setWindowTitle(JobView::progressCaption(false, kFiles));
    progress.setRange(kFiles);
    for (int file = 1; file <= 5; ++file)
        progress.advance(
            QStringLiteral("/home/anna/Scans/invoice-%1.tif").arg(file, 3, 10, QLatin1Char('0')));
    progress.show();
    saved = save(progress, out, "guide-progress.png") && saved;
    progress.close();

    jobs.stopBatchJob();
    jobs.waitForRunningJob();
    return saved ? 0 : 1;
}
