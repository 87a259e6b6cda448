#include "engine/pdf/PdfDocument.h"

#include "inspect/ReportLines.h"

#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <exception>

namespace pagesmith {

namespace {

QPDFObjectHandle pdfName(const char* text) {
    return QPDFObjectHandle::newName(text);
}

// How far each image is drawn inside its own pixels, in pixels. Poppler
// stretches an image whose edge falls exactly on a pixel's edge by one
// pixel, into the next; drawn this hair inside, every image shows its own
// pixels at the page's resolution (and nothing changes for other readers).
// A power of two, so that the coordinates stay exact.
constexpr double kInset = 1.0 / 1024;

// What the page's box is made smaller by, in points. Readers round a page's
// size in pixels up: a page exactly 1728 pixels wide at its resolution would
// come out 1729 from the last bit of a rounded number.
constexpr double kBoxTrim = 1e-6;

// A number for the content stream, exact to the inset.
std::string number(double value) {
    std::string text = formatText("%.10f", value);
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

QPDFObjectHandle colourSpace(const PdfImage& image) {
    switch (image.colour) {
    case PdfColourSpace::Gray:
        return pdfName("/DeviceGray");
    case PdfColourSpace::Rgb:
        return pdfName("/DeviceRGB");
    case PdfColourSpace::Cmyk:
        return pdfName("/DeviceCMYK");
    case PdfColourSpace::Indexed:
        break;
    }
    QPDFObjectHandle indexed = QPDFObjectHandle::newArray();
    indexed.appendItem(pdfName("/Indexed"));
    indexed.appendItem(pdfName("/DeviceRGB"));
    indexed.appendItem(QPDFObjectHandle::newInteger(std::int64_t(image.palette.size() / 3) - 1));
    indexed.appendItem(QPDFObjectHandle::newString(image.palette));
    return indexed;
}

int componentsOf(PdfColourSpace colour) {
    switch (colour) {
    case PdfColourSpace::Rgb:
        return 3;
    case PdfColourSpace::Cmyk:
        return 4;
    case PdfColourSpace::Gray:
    case PdfColourSpace::Indexed:
        break;
    }
    return 1;
}

QPDFObjectHandle imageStream(QPDF& pdf, const PdfImage& image) {
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(&pdf);
    QPDFObjectHandle dictionary = stream.getDict();
    dictionary.replaceKey("/Type", pdfName("/XObject"));
    dictionary.replaceKey("/Subtype", pdfName("/Image"));
    dictionary.replaceKey("/Width", QPDFObjectHandle::newInteger(image.width));
    dictionary.replaceKey("/Height", QPDFObjectHandle::newInteger(image.rows));
    dictionary.replaceKey("/BitsPerComponent",
                          QPDFObjectHandle::newInteger(image.bitsPerComponent));
    dictionary.replaceKey("/ColorSpace", colourSpace(image));
    if (image.inverted) {
        QPDFObjectHandle decode = QPDFObjectHandle::newArray();
        for (int c = 0; c < componentsOf(image.colour); ++c) {
            decode.appendItem(QPDFObjectHandle::newInteger(1));
            decode.appendItem(QPDFObjectHandle::newInteger(0));
        }
        dictionary.replaceKey("/Decode", decode);
    }
    QPDFObjectHandle parameters = QPDFObjectHandle::newNull();
    if (!image.parameters.empty()) {
        parameters = QPDFObjectHandle::newDictionary();
        for (const PdfParameter& parameter : image.parameters)
            parameters.replaceKey(
                parameter.key, parameter.isBoolean ? QPDFObjectHandle::newBool(parameter.value != 0)
                                                   : QPDFObjectHandle::newInteger(parameter.value));
    }
    stream.replaceStreamData(image.data, pdfName(image.filter.c_str()), parameters);
    return stream;
}

// Library messages go nowhere, as every library's do here: what matters
// reaches the report through the results.
std::shared_ptr<QPDFLogger> silentLogger() {
    auto logger = QPDFLogger::create();
    auto discard = std::make_shared<Pl_Discard>();
    logger->setInfo(discard);
    logger->setWarn(discard);
    logger->setError(discard);
    return logger;
}

} // namespace

std::string pdfProducer() {
    return std::string("Pagesmith ") + PAGESMITH_VERSION;
}

PdfDocument::PdfDocument(const std::string& title)
    : m_pdf(std::make_unique<QPDF>()), m_title(title) {
    m_pdf->setLogger(silentLogger());
    m_pdf->setSuppressWarnings(true);
    m_pdf->emptyPDF();
}

PdfDocument::~PdfDocument() = default;

bool PdfDocument::addPage(const PdfPagePlan& plan) {
    if (!plan)
        return false;
    try {
        QPDF& pdf = *m_pdf;
        QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
        // One unit a pixel, the origin at the bottom left, rows from the top.
        std::string content = "q " + number(plan.size.width / plan.width) + " 0 0 " +
                              number(plan.size.height / plan.length) + " 0 0 cm\n";
        for (std::size_t i = 0; i < plan.images.size(); ++i) {
            const PdfImage& image = plan.images[i];
            const std::string key = "/Im" + std::to_string(i);
            xobjects.replaceKey(key, pdf.makeIndirectObject(imageStream(pdf, image)));
            const std::uint32_t bottom = plan.length - image.top - image.rows;
            content += "q " + number(image.width - 2 * kInset) + " 0 0 " +
                       number(image.rows - 2 * kInset) + " " + number(kInset) + " " +
                       number(bottom + kInset) + " cm " + key + " Do Q\n";
        }
        content += "Q\n";

        QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
        page.replaceKey("/Type", pdfName("/Page"));
        page.replaceKey("/MediaBox",
                        QPDFObjectHandle::parse("[0 0 " + number(plan.size.width - kBoxTrim) + " " +
                                                number(plan.size.height - kBoxTrim) + "]"));
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/XObject", xobjects);
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents",
                        pdf.makeIndirectObject(QPDFObjectHandle::newStream(&pdf, content)));
        QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)),
                                            false);
    } catch (const std::exception&) {
        return false;
    }
    ++m_pages;
    return true;
}

bool PdfDocument::write(std::FILE* file, const std::string& name) {
    try {
        QPDF& pdf = *m_pdf;
        QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
        info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(m_title));
        info.replaceKey("/Producer", QPDFObjectHandle::newUnicodeString(pdfProducer()));
        info.replaceKey("/CreationDate", QPDFObjectHandle::newString(QUtil::qpdf_time_to_pdf_time(
                                             QUtil::get_current_qpdf_time())));
        pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));

        QPDFWriter writer(pdf);
        writer.setOutputFile(name.c_str(), file, false);
        // The images' data goes out as the providers write it, filtered already.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(true);
        writer.write();
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

} // namespace pagesmith
