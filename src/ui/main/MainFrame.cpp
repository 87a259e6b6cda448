#include "ui/main/MainFrame.h"

#include "app/ProcessSettings.h"
#include "base/Paths.h"
#include "base/ReportMessages.h"
#include "inspect/TiffInfo.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/jobs/JobCommands.h"
#include "ui/main/FileList.h"
#include "ui/main/FileListFill.h"
#include "ui/main/FileListMenu.h"
#include "ui/main/FilterCombo.h"
#include "ui/main/FolderTree.h"
#include "ui/main/InfoPageSink.h"
#include "ui/main/InfoResultsView.h"
#include "ui/main/OpenedPaths.h"
#include "ui/main/ProgramArt.h"
#include "ui/preview/PagePreview.h"
#include "ui/preview/PageView.h"
#include "ui/toolkit/CorePaths.h"
#include "ui/toolkit/DesktopCalls.h"
#include "ui/toolkit/DesktopIntegration.h"
#include "ui/toolkit/DisabledImage.h"
#include "ui/toolkit/FlatTabStrip.h"
#include "ui/toolkit/FolderWatch.h"
#include "ui/toolkit/ProportionalSplitter.h"
#include "ui/toolkit/RunOnThread.h"
#include "ui/toolkit/SwallowedKeys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace pagesmith {

namespace {

// The keys the window takes and leaves without effect, the text area
// included. Copying (Ctrl+C, Ctrl+Insert) is left to the text and the list:
// a report is there to be copied.
const QList<QKeyCombination> kSwallowedKeys = {
    Qt::CTRL | Qt::Key_N,       Qt::CTRL | Qt::Key_O,        Qt::CTRL | Qt::Key_S,
    Qt::CTRL | Qt::Key_P,       Qt::CTRL | Qt::Key_Z,        Qt::ALT | Qt::Key_Backspace,
    Qt::CTRL | Qt::Key_X,       Qt::SHIFT | Qt::Key_Delete,  Qt::CTRL | Qt::Key_V,
    Qt::SHIFT | Qt::Key_Insert, QKeyCombination(Qt::Key_F6), Qt::SHIFT | Qt::Key_F6,
};

// The image of each command that has a toolbar button.
const std::map<CommandId, CommandImage> kCommandImages = {
    {kConvertCommand, CommandImage::Convert},
    {kMergeCommand, CommandImage::Merge},
    {kSelectAllCommand, CommandImage::SelectAll},
    {kIncludeSubFolderCommand, CommandImage::IncludeSubFolder},
    {kKeepFileNameCommand, CommandImage::KeepFileName},
    {kHelpCommand, CommandImage::Help},
    {kAboutCommand, CommandImage::About},
};

constexpr CommandId kCheckableCommands[] = {kSelectAllCommand,       kIncludeSubFolderCommand,
                                            kKeepFileNameCommand,    kToggleToolbarCommand,
                                            kToggleStatusBarCommand, kTogglePreviewCommand};
constexpr CommandId kCommandsNeedingRows[] = {kConvertCommand, kMergeCommand, kSelectAllCommand};

constexpr int kToolbarImageSize = 16;
constexpr int kJobStateWidth = 80;
constexpr int kJobTotalWidth = 300;

QString text(const char* latin1) {
    return QString::fromLatin1(latin1);
}

QIcon programIcon() {
    QIcon icon;
    for (int size : programIconSizes())
        icon.addPixmap(QPixmap::fromImage(drawProgramIcon(size)));
    return icon;
}

QIcon commandIcon(CommandImage image) {
    const QColor menuColour = QApplication::palette("QMenu").color(QPalette::Window);
    return toolbarIcon({drawCommandImage(image, kToolbarImageSize),
                        drawCommandImage(image, 2 * kToolbarImageSize)},
                       menuColour);
}

} // namespace

MainFrame::MainFrame(ProcessSettings& settings, MessageSink& messages, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_messages(messages),
      m_desktop(&platformDesktopCalls()) {
    setWindowTitle(text(MainFrameTexts::kTitle));
    const QIcon icon = programIcon();
    setWindowIcon(icon);
    DesktopIntegration::setProgramIdentity(icon);
    resize(1000, 700); // the size it returns to when no longer maximised

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createClientArea();
    createKeys();
    chainFocus();
    setAcceptDrops(true);
    new SwallowedKeys(this, kSwallowedKeys);
    updateCommandState();
}

MainFrame::~MainFrame() {
    // The list's model announces its end while the frame is half gone.
    disconnect(&m_fileList->fileModel(), nullptr, this, nullptr);
}

void MainFrame::createActions() {
    for (const CommandText& command : MainFrameTexts::commands()) {
        if (!command.menuText)
            continue; // keyboard-only ids have no action: their keys are swallowed
        auto* action = new QAction(text(command.menuText), this);
        action->setStatusTip(text(command.prompt));
        action->setToolTip(text(command.tooltip));
        if (const auto image = kCommandImages.find(command.id); image != kCommandImages.end())
            action->setIcon(commandIcon(image->second));
        const CommandId id = command.id;
        connect(action, &QAction::triggered, this,
                [this, id](bool checked) { runCommand(id, checked); });
        m_actions[id] = action;
    }
    for (CommandId id : kCheckableCommands)
        m_actions.at(id)->setCheckable(true);
    m_actions.at(kToggleToolbarCommand)->setChecked(true);
    m_actions.at(kToggleStatusBarCommand)->setChecked(true);
    m_actions.at(kTogglePreviewCommand)->setChecked(true);
}

void MainFrame::createMenus() {
    for (const MenuText& menuText : MainFrameTexts::menus()) {
        QMenu* menu = menuBar()->addMenu(text(menuText.title));
        for (CommandId id : menuText.items) {
            if (id == kNoCommand)
                menu->addSeparator();
            else
                menu->addAction(m_actions.at(id));
        }
    }
}

void MainFrame::createToolBar() {
    m_toolBar = addToolBar(text(MainFrameTexts::kToolbarName));
    m_toolBar->setObjectName(QStringLiteral("commandBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    for (CommandId id : MainFrameTexts::toolbar()) {
        if (id == kNoCommand) {
            m_toolBar->addSeparator();
        } else if (id == kFilterComboId) {
            m_filterCombo = new FilterCombo;
            m_toolBar->addWidget(m_filterCombo);
            // A new filter applies at once, to the folder shown.
            connect(m_filterCombo, &FilterCombo::refillRequested, this,
                    [this] { showFolder(m_currentFolder); });
        } else {
            m_toolBar->addAction(m_actions.at(id));
        }
    }
}

void MainFrame::createStatusBar() {
    const auto pane = [this](const char* description, const QString& initial, int width) {
        auto* label = new QLabel(initial);
        label->setAccessibleDescription(text(description));
        // At least its width; wider for a text that would be cut short (a
        // total that names the files that failed).
        if (width > 0)
            label->setMinimumWidth(width);
        return label;
    };
    m_mainPane = pane(MainFrameTexts::kStatusName, text(MainFrameTexts::kReady), 0);
    m_jobStatePane = pane(MainFrameTexts::kJobStateName, {}, kJobStateWidth);
    m_jobTotalPane = pane(MainFrameTexts::kJobTotalName, {}, kJobTotalWidth);
    statusBar()->addWidget(m_mainPane, 1);
    statusBar()->addPermanentWidget(m_jobStatePane);
    statusBar()->addPermanentWidget(m_jobTotalPane);
    // A highlighted menu item's prompt takes the whole bar, as one pane.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
        m_jobStatePane->setVisible(message.isEmpty());
        m_jobTotalPane->setVisible(message.isEmpty());
    });
}

void MainFrame::createClientArea() {
    // The tree starts a fifth of the width (never under a tenth); the list
    // and the preview three quarters of the height (neither pane under a
    // fifth), the list two thirds of their width (neither under a sixth).
    m_sideBySide = new ProportionalSplitter(Qt::Horizontal, 1, 5, 10);
    m_listOverInfo = new ProportionalSplitter(Qt::Vertical, 3, 4, 5);
    m_listBesidePreview = new ProportionalSplitter(Qt::Horizontal, 2, 3, 6);
    m_listBesidePreview->setAccessibleName(text(MainFrameTexts::kListAndPreviewName));
    m_folderTree = new FolderTree;
    m_fileList = new FileList;
    m_preview = new PagePreview;
    m_infoResults = new InfoResultsView;
    m_infoResults->setAccessibleName(text(MainFrameTexts::kInfoResultsName));

    m_sideBySide->addWidget(m_folderTree);
    m_sideBySide->addWidget(m_listOverInfo);
    m_listBesidePreview->addWidget(m_fileList);
    m_listBesidePreview->addWidget(m_preview);
    m_listOverInfo->addWidget(m_listBesidePreview);
    m_listOverInfo->addWidget(m_infoResults);
    setCentralWidget(m_sideBySide);

    connect(m_folderTree, &FolderTree::folderSelected, this,
            [this](const QString& folder) { showFolder(corePath(folder)); });
    connect(m_fileList, &FileList::fileActivated, this,
            [this](const QString& name) { showTiffInfo(name.toStdString()); });
    connect(m_fileList, &FileList::currentFileChanged, this, &MainFrame::previewFile);
    // A job's outcome for the file shown lets the preview show its output.
    connect(m_fileList, &FileList::fileResultChanged, this, [this](const QString& name) {
        if (name == m_fileList->currentName())
            m_preview->setOutput(m_fileList->outputOf(name));
    });
    // Convert, Merge and Select All follow the rows.
    const FileListModel* model = &m_fileList->fileModel();
    const auto follow = [this] { updateCommandState(); };
    connect(model, &QAbstractItemModel::rowsInserted, this, follow);
    connect(model, &QAbstractItemModel::rowsRemoved, this, follow);
    connect(model, &QAbstractItemModel::modelReset, this, follow);

    m_rowMenu = new FileListMenu(*this);
    connect(m_fileList, &FileList::rowMenuRequested, m_rowMenu, &FileListMenu::popup);
    connect(m_infoResults, &InfoResultsView::openSaveFolderRequested, this,
            [this](const QString& folder) { m_desktop->openPath(folder); });
    // The list follows its folder on disk.
    m_listWatch = new FolderWatch(this);
    connect(m_listWatch, &FolderWatch::changed, this, &MainFrame::refreshList);
    m_fileList->setFocus(); // keyboard focus starts in the list
}

// Keys of their own, beside the menus' mnemonics: F5 reads the tree and the
// list again; F10 opens the menu bar (the Settings menu has no mnemonic);
// Ctrl+Tab and Ctrl+Shift+Tab move on from any pane, the text area included,
// as they do in a dialog.
void MainFrame::createKeys() {
    const auto key = [this](const QList<QKeySequence>& keys, auto run) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
    };
    key({QKeySequence(Qt::Key_F5)}, [this] { refresh(); });
    key({QKeySequence(Qt::Key_F10)}, [this] {
        const QList<QAction*> menus = menuBar()->actions();
        if (!menus.isEmpty())
            menuBar()->setActiveAction(menus.front());
    });
    key({QKeySequence(Qt::CTRL | Qt::Key_Tab)}, [this] { focusNextPrevChild(true); });
    key({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)},
        [this] { focusNextPrevChild(false); });
}

// Tab goes from the tree to the filter, the list, the preview's controls and
// picture, the text of the pages, the page tabs and the save-folder button,
// and round again.
void MainFrame::chainFocus() {
    const QList<QWidget*> chain = {m_folderTree,
                                   m_filterCombo,
                                   m_fileList,
                                   m_preview->sourceButton(),
                                   m_preview->outputButton(),
                                   m_preview->fitButton(),
                                   m_preview->actualSizeButton(),
                                   m_preview->view(),
                                   m_preview->previousButton(),
                                   m_preview->nextButton(),
                                   m_infoResults->textArea(),
                                   m_infoResults->tabStrip(),
                                   m_infoResults->openSaveFolderButton()};
    for (qsizetype i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

void MainFrame::showFolder(const std::string& folder) {
    setSelectAllState(false);
    ++m_fillGeneration;
    ++m_listingGeneration;
    m_currentFolder = folder;
    m_listWatch->setFolder(QFile::decodeName(QByteArray::fromStdString(folder)));
    const int rows = FileListFill(*m_fileList, *m_infoResults)
                         .fill(folder, m_includeSubFolders, m_filterCombo->filterCode());
    m_infoShowsTotal = true;
    setSelectAllState(rows > 0);
}

void MainFrame::refreshList() {
    if (m_currentFolder.empty())
        return;
    const bool hadRows = m_fileList->rowCount() > 0;
    ++m_fillGeneration;
    m_listWatch->setFolder(QFile::decodeName(QByteArray::fromStdString(m_currentFolder)));
    const int rows =
        FileListFill(*m_fileList, *m_infoResults)
            .refresh(m_currentFolder, m_includeSubFolders, m_filterCombo->filterCode());
    if (m_infoShowsTotal)
        m_infoResults->replacePage(InfoResultsView::kInfoPage, FileListFill::totalLine(rows));
    // The file shown may have been written again.
    m_preview->reload();
    // Select All keeps its state while there are rows, as after a fill.
    if (rows == 0 || !hadRows)
        setSelectAllState(rows > 0);
    else
        updateCommandState();
}

void MainFrame::refresh() {
    m_folderTree->refresh();
    refreshList();
}

void MainFrame::openFolder(const std::string& folder) {
    if (m_folderTree->selectFolder(qtPath(folder)))
        return;
    m_folderTree->clearSelection();
    showFolder(folder);
}

bool MainFrame::openPaths(const QStringList& paths) {
    const OpenedPaths opened = sortOpenedPaths(paths);
    if (opened.folder.isEmpty())
        return false;
    openFolder(corePath(opened.folder));
    if (opened.files.isEmpty())
        return true;
    FileListModel& model = m_fileList->fileModel();
    model.checkOnly(opened.files);
    setSelectAllState(model.rowCount() > 0 && model.allChecked());
    return true;
}

WindowState MainFrame::windowState() const {
    WindowState state;
    state.lastFolder = qtPath(m_currentFolder);
    state.geometry = saveGeometry();
    state.maximised = isMaximized();
    state.treeShare = m_sideBySide->share();
    state.listShare = m_listOverInfo->share();
    state.previewShown = m_actions.at(kTogglePreviewCommand)->isChecked();
    state.previewShare = m_listBesidePreview->share();
    state.includeSubFolders = m_includeSubFolders;
    state.keepFileNames = m_keepFileNames;
    state.filter = int(m_filterCombo->filterCode());
    state.sortColumn = m_fileList->sortColumn();
    state.sortOrder = m_fileList->sortOrder();
    return state;
}

void MainFrame::applyWindowState(const WindowState& state) {
    m_includeSubFolders = state.includeSubFolders;
    m_keepFileNames = state.keepFileNames;
    {
        const QSignalBlocker quiet(m_filterCombo); // no folder to list yet
        m_filterCombo->setCurrentIndex(state.filter);
    }
    if (state.treeShare)
        m_sideBySide->setShare(*state.treeShare);
    if (state.listShare)
        m_listOverInfo->setShare(*state.listShare);
    if (state.previewShare)
        m_listBesidePreview->setShare(*state.previewShare);
    m_actions.at(kTogglePreviewCommand)->setChecked(state.previewShown);
    m_preview->setVisible(state.previewShown);
    if (!state.geometry.isEmpty())
        restoreGeometry(state.geometry);
    updateCommandState();
}

void MainFrame::showAtStart(const WindowState& state, const QStringList& openPaths) {
    if (state.geometry.isEmpty()) {
        // A first start: the size the window takes when un-maximised is most
        // of the screen, centred. Maximised straight from the toolkit's small
        // default size, some window managers left the contents at that size.
        const QRect area = screen()->availableGeometry();
        resize(area.size() * 4 / 5);
        move(area.center() - rect().center());
    }
    if (state.geometry.isEmpty() || state.maximised)
        showMaximized();
    else
        show();
    if (!this->openPaths(openPaths) && !state.lastFolder.isEmpty() &&
        QFileInfo(state.lastFolder).isDir())
        openFolder(corePath(state.lastFolder));
    m_fileList->sortBy(state.sortColumn, state.sortOrder);
}

QAction* MainFrame::commandAction(CommandId id) const {
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

void MainFrame::setSelectAllState(bool on) {
    m_selectAllState = on;
    updateCommandState();
}

void MainFrame::updateCommandState() {
    const bool hasRows = m_fileList->rowCount() > 0;
    for (CommandId id : kCommandsNeedingRows)
        m_actions.at(id)->setEnabled(hasRows);
    m_actions.at(kSelectAllCommand)->setChecked(m_selectAllState);
    m_actions.at(kIncludeSubFolderCommand)->setChecked(m_includeSubFolders);
    m_actions.at(kKeepFileNameCommand)->setChecked(m_keepFileNames);
    m_actions.at(kWatchFolderCommand)->setEnabled(!m_watching && !m_currentFolder.empty());
    m_actions.at(kStopWatchingCommand)->setEnabled(m_watching);
}

void MainFrame::setWatching(bool watching) {
    m_watching = watching;
    updateCommandState();
}

void MainFrame::runCommand(CommandId id, bool checked) {
    switch (id) {
    case kConvertCommand:
        emit convertRequested();
        break;
    case kMergeCommand:
        emit mergeRequested();
        break;
    case kWatchFolderCommand:
        emit watchRequested();
        break;
    case kStopWatchingCommand:
        emit stopWatchingRequested();
        break;
    case kSelectAllCommand:
        selectAll();
        break;
    case kExitCommand:
        close();
        break;
    case kIncludeSubFolderCommand:
        // Takes effect at the next list fill or job.
        m_includeSubFolders = !m_includeSubFolders;
        break;
    case kKeepFileNameCommand:
        m_keepFileNames = !m_keepFileNames;
        break;
    case kToggleToolbarCommand:
        m_toolBar->setVisible(checked);
        break;
    case kToggleStatusBarCommand:
        statusBar()->setVisible(checked);
        break;
    case kTogglePreviewCommand:
        m_preview->setVisible(checked);
        break;
    case kHelpCommand:
        DesktopIntegration::openHelp(QCoreApplication::applicationFilePath());
        break;
    case kAboutCommand: {
        // Owned by the frame, never by whatever window is active: a job's
        // progress window goes when the job ends and would take it along.
        AboutDialog about(this);
        about.exec();
        break;
    }
    default:
        break;
    }
    updateCommandState();
}

void MainFrame::selectAll() {
    m_selectAllState = !m_selectAllState;
    m_fileList->setAllChecked(m_selectAllState);
}

QLabel* MainFrame::statusLabel(StatusPane pane) const {
    switch (pane) {
    case StatusPane::JobState:
        return m_jobStatePane;
    case StatusPane::JobTotal:
        return m_jobTotalPane;
    case StatusPane::Main:
        break;
    }
    return m_mainPane;
}

void MainFrame::setStatusPaneText(StatusPane pane, const QString& paneText) {
    runOnThreadOf(this, [&] { statusLabel(pane)->setText(paneText); });
}

QString MainFrame::statusPaneText(StatusPane pane) const {
    return runOnThreadOf(this, [&] { return statusLabel(pane)->text(); });
}

void MainFrame::showReady() {
    setStatusPaneText(StatusPane::Main, text(MainFrameTexts::kReady));
}

void MainFrame::connectJobCommands(JobCommands& commands) {
    connect(this, &MainFrame::convertRequested, &commands, [&commands] { commands.runCommand(0); });
    connect(this, &MainFrame::mergeRequested, &commands, [&commands] { commands.runCommand(1); });
    connect(this, &MainFrame::watchRequested, &commands, [&commands] { commands.startWatch(); });
    connect(this, &MainFrame::stopWatchingRequested, &commands, &JobCommands::stopWatch);
}

FileListing MainFrame::listedFiles() const {
    const FileListModel& model = m_fileList->fileModel();
    FileListing listing;
    listing.leftoversLeftOut = model.leftoversLeftOut();
    for (const FileListModel::RowCheck& row : m_fileList->rowChecks()) {
        const int scanIndex = int(row.scanIndex);
        listing.files.push_back(
            {model.fileName(scanIndex), model.fileInfo(scanIndex), row.checked, row.scanIndex});
    }
    return listing;
}

void MainFrame::showResultsPage() {
    m_infoResults->showPage(InfoResultsView::kResultsPage);
}

void MainFrame::clearResultsPage() {
    m_infoResults->clearPage(InfoResultsView::kResultsPage);
}

void MainFrame::appendToResultsPage(const std::string& text) {
    m_infoResults->appendToPage(InfoResultsView::kResultsPage, text);
}

void MainFrame::offerSaveFolder(const QString& folder) {
    m_infoResults->offerSaveFolder(folder);
}

void MainFrame::clearFileResults() {
    m_fileList->clearResults();
}

bool MainFrame::listsFile(const QString& name) const {
    return m_fileList->fileModel().rowOfName(name) >= 0;
}

void MainFrame::markFile(std::size_t scanIndex, const QString& word, const QString& reason,
                         const OutputPages& output) {
    m_fileList->setFileResult(scanIndex, word, reason, output);
}

void MainFrame::markFileByName(const QString& name, const QString& word, const QString& reason,
                               const OutputPages& output) {
    m_fileList->setFileResultByName(name, word, reason, output);
}

void MainFrame::notifyDesktop(const QString& notice) {
    m_desktop->notify(this, text(MainFrameTexts::kTitle), notice);
}

void MainFrame::showTiffInfo(const std::string& relativeName) {
    m_infoShowsTotal = false;
    m_infoResults->showPage(InfoResultsView::kInfoPage);
    m_infoResults->clearPage(InfoResultsView::kInfoPage);
    m_infoResults->appendToPage(InfoResultsView::kInfoPage, messageText(ReportMessage::InfoHeader));
    m_infoResults->appendToPage(InfoResultsView::kInfoPage,
                                messageText(ReportMessage::InfoSeparator));
    PageLines infoPage(*m_infoResults, InfoResultsView::kInfoPage);
    writeTiffInfo(joinPath(m_currentFolder, relativeName), infoPage);
}

void MainFrame::previewFile(const QString& relativeName) {
    if (relativeName.isEmpty()) {
        m_preview->showFile({});
        return;
    }
    const std::string path =
        joinPath(m_currentFolder, QFile::encodeName(relativeName).toStdString());
    m_preview->showFile(QFile::decodeName(QByteArray::fromStdString(path)),
                        m_fileList->outputOf(relativeName));
}

void MainFrame::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    // Closing the frame ends the message loop with exit code 1.
    if (event->isAccepted())
        QCoreApplication::exit(1);
}

QMenu* MainFrame::createPopupMenu() {
    return nullptr; // the toolbar is shown and hidden through the View menu only
}

namespace {

QStringList localPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

void MainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!localPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainFrame::dropEvent(QDropEvent* event) {
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    openPaths(paths);
}

} // namespace pagesmith
