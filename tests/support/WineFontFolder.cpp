// Wine hands a Windows program the Linux environment without its QT_
// variables, so the window tests of the Windows build get the font folder of
// the offscreen platform as PAGESMITH_TEST_FONTDIR, and set QT_QPA_FONTDIR
// themselves before Qt starts. Without a font folder there is no text to
// measure.
#ifdef _WIN32

#include <cstdlib>

namespace {

const bool kFontFolderSet = [] {
    if (const char* folder = std::getenv("PAGESMITH_TEST_FONTDIR"))
        _putenv_s("QT_QPA_FONTDIR", folder);
    return true;
}();

} // namespace

#endif
