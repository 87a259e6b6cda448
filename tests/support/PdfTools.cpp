#include "support/PdfTools.h"

#include "support/TempDir.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cstdlib>

#include <cstdio>
#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pagesmith::test {

namespace {

// Runs a tool with its arguments; its standard output and exit status (-1
// when it cannot be started or does not end normally).
std::string run(const std::vector<std::string>& arguments, int& status) {
    status = -1;
#ifdef _WIN32
    // Poppler's tools are Linux programs here: the Windows build's documents
    // are compared with the Linux build's instead (make test-windows).
    (void)arguments;
    return {};
#else
    int ends[2];
    if (pipe(ends) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        dup2(ends[1], 1);
        dup2(ends[1], 2);
        close(ends[0]);
        close(ends[1]);
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(ends[1]);
    std::string output;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(ends[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, std::size_t(got));
    close(ends[0]);
    int waited = 0;
    if (child > 0 && waitpid(child, &waited, 0) == child && WIFEXITED(waited))
        status = WEXITSTATUS(waited);
    return output;
#endif
}

std::string run(const std::vector<std::string>& arguments) {
    int status = 0;
    return run(arguments, status);
}

// A binary PGM (P5) or PPM (P6) file of 8-bit samples.
RenderedPage readNetpbm(const std::filesystem::path& path) {
    RenderedPage page;
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    file >> magic >> page.width >> page.height >> maximum;
    file.get(); // the one blank after the header
    if (!file || maximum != 255 || (magic != "P5" && magic != "P6"))
        return {};
    page.channels = magic == "P5" ? 1 : 3;
    page.pixels.resize(std::size_t(page.width) * page.height * page.channels);
    file.read(reinterpret_cast<char*>(page.pixels.data()), std::streamsize(page.pixels.size()));
    return file ? page : RenderedPage{};
}

} // namespace

bool pdfToolsPresent() {
    for (const char* tool : {"pdfimages", "pdftoppm", "pdfinfo", "qpdf"}) {
        int status = 0;
        run({tool, "--version"}, status);
        if (status < 0 || status == 127)
            return false;
    }
    return true;
}

std::vector<ListedImage> listImages(const std::filesystem::path& pdf) {
    std::istringstream lines(run({"pdfimages", "-list", pdf.string()}));
    std::vector<ListedImage> images;
    std::string line;
    // Two lines of heading, then: page num type width height color comp bpc enc ...
    for (int heading = 0; heading < 2 && std::getline(lines, line); ++heading) {
    }
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        ListedImage image;
        int number = 0, components = 0;
        std::string type;
        if (fields >> image.page >> number >> type >> image.width >> image.height >> image.colour >>
            components >> image.bitsPerComponent >> image.encoding)
            images.push_back(image);
    }
    return images;
}

bool qpdfChecks(const std::filesystem::path& pdf, std::string* output) {
    int status = 0;
    const std::string text = run({"qpdf", "--check", pdf.string()}, status);
    if (output)
        *output = text;
    return status == 0 && text.find("No syntax or stream encoding errors") != std::string::npos;
}

std::string pdfInfo(const std::filesystem::path& pdf, int lastPage) {
    return run({"pdfinfo", "-f", "1", "-l", std::to_string(lastPage), pdf.string()});
}

std::string infoField(const std::string& info, const std::string& field) {
    std::istringstream lines(info);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, field.size() + 1, field + ":") != 0)
            continue;
        const std::size_t first = line.find_first_not_of(' ', field.size() + 1);
        return first == std::string::npos ? std::string() : line.substr(first);
    }
    return {};
}

RenderedPage renderPage(const std::filesystem::path& pdf, int page, double xResolution,
                        double yResolution, bool grey) {
    TempDir folder;
    const std::string prefix = folder.file("page");
    std::vector<std::string> arguments = {"pdftoppm",
                                          "-f",
                                          std::to_string(page),
                                          "-l",
                                          std::to_string(page),
                                          "-singlefile",
                                          "-rx",
                                          std::to_string(xResolution),
                                          "-ry",
                                          std::to_string(yResolution),
                                          "-aa",
                                          "no",
                                          "-aaVector",
                                          "no"};
    if (grey)
        arguments.push_back("-gray");
    arguments.push_back(pdf.string());
    arguments.push_back(prefix);
    run(arguments);
    return readNetpbm(prefix + (grey ? ".pgm" : ".ppm"));
}

void writePlainPdf(const std::filesystem::path& pdf, int width, int height, int components,
                   const std::vector<std::uint8_t>& samples, double xResolution,
                   double yResolution) {
    QPDF document;
    document.emptyPDF();
    const char* space = components == 1   ? "/DeviceGray"
                        : components == 3 ? "/DeviceRGB"
                                          : "/DeviceCMYK";
    QPDFObjectHandle image =
        QPDFObjectHandle::newStream(&document, std::string(samples.begin(), samples.end()));
    image.getDict().replaceKey("/Type", QPDFObjectHandle::parse("/XObject"));
    for (const auto& [key, value] :
         std::vector<std::pair<const char*, std::string>>{{"/Subtype", "/Image"},
                                                          {"/Width", std::to_string(width)},
                                                          {"/Height", std::to_string(height)},
                                                          {"/BitsPerComponent", "8"},
                                                          {"/ColorSpace", space}})
        image.getDict().replaceKey(key, QPDFObjectHandle::parse(value));
    const double pageWidth = width * 72.0 / xResolution, pageHeight = height * 72.0 / yResolution;
    char content[200];
    std::snprintf(content, sizeof content, "q %.10g 0 0 %.10g 0 0 cm /Im0 Do Q\n", pageWidth,
                  pageHeight);
    QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page >>");
    char box[100];
    std::snprintf(box, sizeof box, "[0 0 %.10g %.10g]", pageWidth, pageHeight);
    page.replaceKey("/MediaBox", QPDFObjectHandle::parse(box));
    QPDFObjectHandle resources = QPDFObjectHandle::parse("<< /XObject << >> >>");
    resources.getKey("/XObject").replaceKey("/Im0", document.makeIndirectObject(image));
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents",
                    document.makeIndirectObject(QPDFObjectHandle::newStream(&document, content)));
    QPDFPageDocumentHelper(document).addPage(
        QPDFPageObjectHelper(document.makeIndirectObject(page)), false);
    // The writer keeps the name it is given until it writes.
    const std::string name = pdf.string();
    QPDFWriter writer(document, name.c_str());
    writer.write();
}

int largestDifference(const RenderedPage& a, const RenderedPage& b) {
    if (a.width != b.width || a.height != b.height || a.channels != b.channels)
        return 256;
    return largestDifference(a, b.pixels, b.channels);
}

int largestDifference(const RenderedPage& page, const std::vector<std::uint8_t>& samples,
                      int channels) {
    if (page.channels != channels || page.pixels.size() != samples.size())
        return 256;
    int largest = 0;
    for (std::size_t i = 0; i < samples.size(); ++i)
        largest = std::max(largest, std::abs(int(page.pixels[i]) - int(samples[i])));
    return largest;
}

} // namespace pagesmith::test
