#include "ui/main/WindowState.h"

#include "app/SettingsStore.h"
#include "engine/CompressionChoice.h"
#include "ui/main/FileListModel.h"

#include <QSettings>

namespace pagesmith {

namespace {

constexpr const char* kGroup = "Window";

// Key names, in one place.
const QString kLastFolder = QStringLiteral("lastFolder");
const QString kGeometry = QStringLiteral("geometry");
const QString kMaximised = QStringLiteral("maximised");
const QString kTreeShare = QStringLiteral("treeShare");
const QString kListShare = QStringLiteral("listShare");
const QString kPreviewShown = QStringLiteral("previewShown");
const QString kPreviewShare = QStringLiteral("previewShare");
const QString kIncludeSubFolders = QStringLiteral("includeSubFolders");
const QString kKeepFileNames = QStringLiteral("keepFileNames");
const QString kFilter = QStringLiteral("filter");
const QString kSortColumn = QStringLiteral("sortColumn");
const QString kSortDescending = QStringLiteral("sortDescending");
const QString kSaveFolder = QStringLiteral("saveFolder");
const QString kMergedFileName = QStringLiteral("mergedFileName");

// A share outside (0, 1) would leave a pane with nothing.
std::optional<double> readShare(const QSettings& store, const QString& key) {
    bool ok = false;
    const double share = store.value(key).toDouble(&ok);
    if (!ok || !(share > 0.0 && share < 1.0))
        return std::nullopt;
    return share;
}

int readIndex(const QSettings& store, const QString& key, int count) {
    const int index = store.value(key, 0).toInt();
    return index >= 0 && index < count ? index : 0;
}

} // namespace

WindowState readWindowState() {
    const auto store = openSettingsGroup(kGroup);
    WindowState state;
    state.lastFolder = store->value(kLastFolder).toString();
    state.geometry = store->value(kGeometry).toByteArray();
    state.maximised = store->value(kMaximised, true).toBool();
    state.treeShare = readShare(*store, kTreeShare);
    state.listShare = readShare(*store, kListShare);
    state.previewShown = store->value(kPreviewShown, true).toBool();
    state.previewShare = readShare(*store, kPreviewShare);
    state.includeSubFolders = store->value(kIncludeSubFolders, false).toBool();
    state.keepFileNames = store->value(kKeepFileNames, false).toBool();
    state.filter = readIndex(*store, kFilter, kCompressionFilterCount);
    state.sortColumn = readIndex(*store, kSortColumn, FileListModel::ColumnCount);
    state.sortOrder =
        store->value(kSortDescending, false).toBool() ? Qt::DescendingOrder : Qt::AscendingOrder;
    state.saveFolder = store->value(kSaveFolder).toString();
    state.mergedFileName = store->value(kMergedFileName, state.mergedFileName).toString();
    return state;
}

void writeWindowState(const WindowState& state) {
    const auto store = openSettingsGroup(kGroup);
    store->setValue(kLastFolder, state.lastFolder);
    store->setValue(kGeometry, state.geometry);
    store->setValue(kMaximised, state.maximised);
    if (state.treeShare)
        store->setValue(kTreeShare, *state.treeShare);
    if (state.listShare)
        store->setValue(kListShare, *state.listShare);
    store->setValue(kPreviewShown, state.previewShown);
    if (state.previewShare)
        store->setValue(kPreviewShare, *state.previewShare);
    store->setValue(kIncludeSubFolders, state.includeSubFolders);
    store->setValue(kKeepFileNames, state.keepFileNames);
    store->setValue(kFilter, state.filter);
    store->setValue(kSortColumn, state.sortColumn);
    store->setValue(kSortDescending, state.sortOrder == Qt::DescendingOrder);
    store->setValue(kSaveFolder, state.saveFolder);
    store->setValue(kMergedFileName, state.mergedFileName);
    store->sync();
}

} // namespace pagesmith
