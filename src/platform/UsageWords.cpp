#include "platform/UsageWords.h"

namespace pagesmith::platform {

// Kept in step with the manual page (resources/man/pagesmith.1) and the
// user guide.

#ifdef _WIN32

namespace {

constexpr std::string_view kShownWhere = "printed in the console when started from one";
constexpr std::string_view kWatchEnds = "until Ctrl+C or\n                the console is closed";
constexpr std::string_view kPlatformPart = R"(
Examples (in cmd or PowerShell; there .\pagesmith.exe in the program's folder):
  pagesmith /d=C:\Scans /sd=C:\Fax-out /sc=g4
  pagesmith /c=g4 /d=C:\Scans /np /q
  pagesmith /d=C:\Scans "/m=p1.tif,p2.tif" /sf=C:\Out\letter.tif /q
  pagesmith /d=C:\Faxes /sd=C:\Pdf /sc=pdf
  pagesmith /watch /d=C:\Fax-in /sd=C:\Fax-out /sc=g4

Files:
  run log   log\pagesmithlog.txt beside the program; when that folder is not
            writable, %LOCALAPPDATA%\Tolvane\Pagesmith\log\pagesmithlog.txt
  settings  the registry, HKEY_CURRENT_USER\Software\Tolvane\Pagesmith: the
            run log chosen in the window as Udt\pgslog; the window's last
            folder, size, choices and save folder under Window

Exit status (%ERRORLEVEL% in cmd, $LASTEXITCODE in PowerShell):
  0  the batch ran and every file and page went through
  1  the window was closed, or could not open; also when a converting run
     was refused ("ERROR Save Folder") and the window opened
  2  /watch was refused: with /m= or /f=, or without /sd= (one line says why)
  3  the batch ran, but one or more files or pages failed (see the report);
     a watch: a file failed during the run
  130  stopped by Ctrl+C or Ctrl+Break, 129 by closing the console, 143 by
     logging off or shutting down: the file in hand was dropped, the log says
     "Stopped"; a second Ctrl+C ends it at once. A watch ends on these with
     0 or 3, after finishing the file in hand

More in the user guide: Help > Help in the window, or pagesmith-guide.html
beside the program
)";

} // namespace

#else

namespace {

constexpr std::string_view kShownWhere = "printed on standard output when there is no display";
constexpr std::string_view kWatchEnds = "until SIGTERM or Ctrl+C";
constexpr std::string_view kPlatformPart = R"(
Examples:
  pagesmith /d=/srv/scans /sd=/srv/fax-out /sc=g4
  pagesmith /c=g4 /d=/srv/scans /np /q
  pagesmith /d=/srv/scans /m=p1.tif,p2.tif /sf=/srv/out/letter.tif /q
  pagesmith /d=/srv/faxes /sd=/srv/pdf /sc=pdf
  pagesmith /watch /d=/srv/fax-in /sd=/srv/fax-out /sc=g4

Files:
  run log   log/pagesmithlog.txt beside the program; when that folder is not
            writable, ~/.local/share/Tolvane/Pagesmith/log/pagesmithlog.txt
  settings  ~/.config/Tolvane/Pagesmith.conf (the run log chosen in the window,
            the window's last folder, size, choices and save folder)

Exit status:
  0  the batch ran and every file and page went through
  1  the window was closed, or could not open (no display, or one nobody
     sees: QT_QPA_PLATFORM offscreen or minimal); also when a converting run
     was refused ("ERROR Save Folder") and the window opened
  2  /watch was refused: with /m= or /f=, or without /sd= (one line says why)
  3  the batch ran, but one or more files or pages failed (see the report);
     a watch: a file failed during the run
  129, 130, 143  stopped by SIGHUP, SIGINT (Ctrl+C) or SIGTERM: the file in
     hand was dropped, the log says "Stopped"; a second signal ends it at once.
     A watch ends on these with 0 or 3, after finishing the file in hand

More in the manual page: man pagesmith
)";

} // namespace

#endif

UsageWords usageWords() {
    return {kShownWhere, kWatchEnds, kPlatformPart};
}

} // namespace pagesmith::platform
