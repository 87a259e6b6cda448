#include "ui/main/MainFrameTexts.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace pagesmith {

namespace {

constexpr CommandText kCommands[] = {
    {kConvertCommand, "&Convert", "Convert tiff compression mode",
     "convert tiff from one compression mode to another"},
    {kMergeCommand, "&Merge", "Merge tiff files", "merge multiple tiff files into one"},
    {kWatchFolderCommand, "&Watch Folder...",
     "Convert the files that arrive in the folder shown, as they arrive",
     "watch the folder shown and convert what arrives"},
    {kStopWatchingCommand, "S&top Watching", "Stop converting the files that arrive",
     "stop watching the folder"},
    {kSelectAllCommand, "&Select All", "Select all items", "select all item"},
    {kExitCommand, "E&xit", "Quit the application; prompts to save documents", "Exit"},
    {kIncludeSubFolderCommand, "Include Sub Folder", "Include sub folder", "Include sub folder"},
    {kKeepFileNameCommand, "Keep File Name", "Keep converted file name as original",
     "Keep converted file name as original"},
    {kToggleToolbarCommand, "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar"},
    {kToggleStatusBarCommand, "&Status Bar", "Show or hide the status bar", "Toggle StatusBar"},
    {kTogglePreviewCommand, "Page &Preview", "Show or hide the page preview",
     "Toggle Page Preview"},
    {kHelpCommand, "&Help", "Open help", "open help"},
    {kAboutCommand, "&About Pagesmith...",
     "Display program information, version number and copyright", "About"},
    {kNewCommand, nullptr, "Create a new document", "New"},
};

constexpr CommandId kFileMenu[] = {kConvertCommand,     kMergeCommand,        kNoCommand,
                                   kWatchFolderCommand, kStopWatchingCommand, kNoCommand,
                                   kSelectAllCommand,   kNoCommand,           kExitCommand};
constexpr CommandId kSettingsMenu[] = {kIncludeSubFolderCommand, kKeepFileNameCommand};
constexpr CommandId kViewMenu[] = {kToggleToolbarCommand, kToggleStatusBarCommand,
                                   kTogglePreviewCommand};
constexpr CommandId kHelpMenu[] = {kHelpCommand, kNoCommand, kAboutCommand};

constexpr MenuText kMenus[] = {
    {"&File", kFileMenu},
    {"Settings", kSettingsMenu},
    {"&View", kViewMenu},
    {"&Help", kHelpMenu},
};

constexpr CommandId kToolbar[] = {kConvertCommand,      kMergeCommand, kNoCommand,
                                  kSelectAllCommand,    kNoCommand,    kIncludeSubFolderCommand,
                                  kKeepFileNameCommand, kNoCommand,    kFilterComboId,
                                  kNoCommand,           kHelpCommand,  kAboutCommand};

constexpr RowMenuText kRowMenu[] = {
    {RowMenuItem::Open, "&Open"},          {RowMenuItem::ShowInFolder, "Show in &folder"},
    {RowMenuItem::Check, "&Check"},        {RowMenuItem::Uncheck, "&Uncheck"},
    {RowMenuItem::TiffInfo, "Tiff &Info"},
};

} // namespace

std::span<const CommandText> MainFrameTexts::commands() {
    return kCommands;
}

const CommandText& MainFrameTexts::command(CommandId id) {
    const auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [id](const CommandText& text) { return text.id == id; });
    if (found == std::end(kCommands))
        std::abort(); // every id the window uses has its texts above
    return *found;
}

std::span<const MenuText> MainFrameTexts::menus() {
    return kMenus;
}

std::span<const CommandId> MainFrameTexts::toolbar() {
    return kToolbar;
}

std::span<const RowMenuText> MainFrameTexts::rowMenu() {
    return kRowMenu;
}

} // namespace pagesmith
