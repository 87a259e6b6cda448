#pragma once

namespace pagesmith {

// Every text of the page preview, in one place.
struct PreviewTexts {
    static constexpr const char* kName = "Page Preview";

    // The switch between the file listed and what the last job made of it.
    static constexpr const char* kSource = "Source";
    static constexpr const char* kSourceTip = "The page as the file in the list holds it";
    static constexpr const char* kOutput = "Output";
    static constexpr const char* kOutputTip = "The page as the last job wrote it";

    static constexpr const char* kPrevious = "Previous page";
    static constexpr const char* kNext = "Next page";
    static constexpr const char* kFit = "Fit";
    static constexpr const char* kFitName = "Fit to the pane";
    static constexpr const char* kActualSize = "100 %";
    static constexpr const char* kActualSizeName = "Actual size, 100 %";
    static constexpr const char* kPicture = "Page picture";

    static constexpr const char* kPageOf = "Page %1 of %2";
    static constexpr const char* kSize = "%1 x %2 pixels";
    static constexpr const char* kSizeAndResolution = "%1 x %2 pixels, %3 x %4 dpi";
    // As assistive tools read the pane: "Page 1 of 3, 1728 x 2376, 204 x 196 dpi".
    static constexpr const char* kDescription = "Page %1 of %2, %3 x %4";
    static constexpr const char* kDescriptionResolution = ", %1 x %2 dpi";
    // Where the output page shown is.
    static constexpr const char* kOutputPage = "Page %1 of %2";

    static constexpr const char* kReading = "Reading the page ...";
    static constexpr const char* kNotInOutput = "This page did not go into the output.";
    static constexpr const char* kPdfOutput = "A page of a PDF file is not shown here.";
};

} // namespace pagesmith
