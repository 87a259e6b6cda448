#pragma once

#include <span>

namespace pagesmith {

// Command ids of the main window: menu items, toolbar buttons and the filter.
enum CommandId : int {
    kNoCommand = 0, // a separator in menu and toolbar layouts
    kConvertCommand = 32773,
    kMergeCommand = 32774,
    kFilterComboId = 32776,
    kSelectAllCommand = 32778,
    kHelpCommand = 32779,
    kIncludeSubFolderCommand = 32781,
    kKeepFileNameCommand = 32782,
    kWatchFolderCommand = 32783,
    kStopWatchingCommand = 32784,
    kTogglePreviewCommand = 32790,
    kNewCommand = 57600,
    kAboutCommand = 57664,
    kExitCommand = 57665,
    kToggleToolbarCommand = 59392,
    kToggleStatusBarCommand = 59393,
};

// What the user reads of one command: its menu item (null when it has none),
// the prompt the status bar shows while the item is highlighted, and the
// tooltip of its toolbar button.
struct CommandText {
    CommandId id;
    const char* menuText;
    const char* prompt;
    const char* tooltip;
};

struct MenuText {
    const char* title;
    std::span<const CommandId> items; // kNoCommand is a separator
};

// The context menu of a row of the file list.
enum class RowMenuItem { Open, ShowInFolder, Check, Uncheck, TiffInfo };

struct RowMenuText {
    RowMenuItem item;
    const char* text;
};

// Every text of the main window, in one place.
struct MainFrameTexts {
    static constexpr const char* kTitle = "Pagesmith";
    static constexpr const char* kReady = "Ready";
    static constexpr const char* kToolbarName = "Toolbar";
    static constexpr const char* kInfoResultsName = "Tiff info and results";
    static constexpr const char* kStatusName = "Status";
    static constexpr const char* kJobStateName = "Job state";
    static constexpr const char* kJobTotalName = "Job total";
    static constexpr const char* kListAndPreviewName = "Files and page preview";

    static std::span<const CommandText> commands();
    static const CommandText& command(CommandId id);
    static std::span<const MenuText> menus();
    // The toolbar from left to right; kFilterComboId is the filter drop-down.
    static std::span<const CommandId> toolbar();
    static std::span<const RowMenuText> rowMenu();
};

} // namespace pagesmith
