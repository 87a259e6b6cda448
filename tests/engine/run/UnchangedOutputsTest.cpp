#include "engine/run/ConvertFiles.h"
#include "support/Codes.h"
#include "support/PageDigest.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <array>
#include <cinttypes>
#include <map>
#include <string>
#include <vector>

namespace pagesmith {
namespace {

using test::TempDir;
using test::TestPage;

// What a run in one mode wrote before fax and JPEG took every kind of page:
// its pages and their digest (test::leadingPagesDigest). No pages: there was
// no output then, and nothing to keep.
struct Kept {
    int pages;
    std::uint64_t digest;
};
using KeptByMode = std::array<Kept, 9>;

struct KeptOutputs {
    const char* input;
    KeptByMode modes;
};

std::map<std::string, std::vector<TestPage>> fixtures() {
    TestPage rgb = test::rgbPage(40, 30);
    rgb.rowsPerStrip = 8;
    TestPage planar = rgb;
    planar.planar = PLANARCONFIG_SEPARATE;
    TestPage tiled = test::rgbPage(40, 40, COMPRESSION_NONE);
    tiled.tiled = true;
    TestPage grey;
    grey.width = 37;
    grey.length = 21;
    TestPage minIsWhite = grey;
    minIsWhite.photometric = PHOTOMETRIC_MINISWHITE;
    const TestPage palette = test::palettePage(grey.width, grey.length);
    TestPage jpeg = test::rgbPage(48, 32, COMPRESSION_JPEG);
    jpeg.photometric = PHOTOMETRIC_YCBCR;
    jpeg.jpegFromRgb = true;
    jpeg.rowsPerStrip = 16;
    TestPage deepGrey = grey;
    deepGrey.bitsPerSample = 16;
    TestPage greyAlpha = grey;
    greyAlpha.samplesPerPixel = 2;
    greyAlpha.extraTags = [](TIFF* tif) {
        const std::uint16_t alpha = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &alpha);
    };
    TestPage cmyk = test::rgbPage(24, 18);
    cmyk.samplesPerPixel = 4;
    cmyk.photometric = PHOTOMETRIC_SEPARATED;
    const TestPage fax = test::faxPage(120, 40);
    return {
        {"fax", {fax, test::faxPage(64, 30, COMPRESSION_CCITTFAX3), fax}},
        {"rgb", {rgb}},
        {"rgb-planar", {planar}},
        {"rgb-tiled", {tiled}},
        {"grey", {grey}},
        {"grey-min-is-white", {minIsWhite}},
        {"palette", {palette}},
        {"ycbcr-jpeg", {jpeg}},
        {"grey-16", {deepGrey}},
        {"grey-alpha", {greyAlpha}},
        {"cmyk", {cmyk}},
        // Fax and JPEG used to stop at the 16-bit page: the pages before it stay.
        {"mixed", {rgb, deepGrey, fax}},
    };
}

// Digests of the program before fax and JPEG took every kind of page, for
// the pages it wrote then.
// clang-format off
const KeptOutputs kFixtureOutputs[] = {
    {"cmyk",
     {{{1, 0x55B8405DB805D347}, {1, 0xFA868C70AF2FE126}, {0, 0},
       {0, 0}, {0, 0}, {0, 0},
       {0, 0}, {1, 0x93F4B7F54CA4A472}, {1, 0x974A53A10856189A}}}},
    {"fax",
     {{{3, 0xCBDCF0D11E7CB28C}, {3, 0x7F1F5EA23327D8C0}, {3, 0x4566513A0AD9765C},
       {3, 0xC4B4AABDFB1E0E35}, {3, 0xE592ECFB0EBAD051}, {3, 0xADFDE2E68C029B13},
       {3, 0x8A2FF713278546D5}, {3, 0x56992107C47B4949}, {0, 0}}}},
    {"grey",
     {{{1, 0x5E034622D3E6FB17}, {1, 0x2BAF4D5CEAB0E728}, {1, 0x87EA9BB09A530C0E},
       {1, 0x8DCBCD2DFB97AA9C}, {1, 0x484D472374D42A9E}, {1, 0x2603DA0A0B9FEE6F},
       {1, 0x86F96EAC8C0E52DC}, {1, 0xEEADC408356226C4}, {1, 0x25853736F9BF1C30}}}},
    {"grey-16",
     {{{1, 0x74C6558DDA601CFB}, {1, 0xA056618B3525380E}, {0, 0},
       {0, 0}, {0, 0}, {0, 0},
       {0, 0}, {1, 0xC2A8F67069483D32}, {0, 0}}}},
    {"grey-alpha",
     {{{1, 0xF3CF1AD3416368AC}, {1, 0x7C15191A20ECCF1E}, {0, 0},
       {0, 0}, {0, 0}, {0, 0},
       {0, 0}, {1, 0xD428E860D0CFD114}, {1, 0x6DDA60AC02549C51}}}},
    {"grey-min-is-white",
     {{{1, 0xCC417C062CFDBEB2}, {1, 0xAF6B89C529AC32DC}, {1, 0x8EFCE9BE2A82EC96},
       {1, 0xF161DC444C541B1D}, {1, 0x10FCF2D687BEF3EF}, {1, 0x23A1A6239A43A899},
       {1, 0xCEA68E314F34CAE7}, {1, 0x7C3706110F624738}, {1, 0xBEA78544CD3F46CD}}}},
    {"mixed",
     {{{3, 0xEC59B58C61CA4D6D}, {3, 0x550324299C0100DE}, {1, 0xA1EF92A4398FD2CB},
       {1, 0x37B2D62B7A207C1F}, {1, 0x7209703F65993203}, {1, 0xA2BB33E99AD8FDC6},
       {1, 0x2CF5359E84533F41}, {3, 0x4D2BD2E7B06B363A}, {1, 0x2D72F7EA00A5A089}}}},
    {"palette",
     {{{1, 0xEFA580203A9B28CC}, {1, 0xE076907244BD981C}, {1, 0x8C4B8291F65F7279},
       {1, 0xCABF82F94F96292C}, {1, 0x546B95569DB33DC5}, {1, 0x21C9B58F4AB22407},
       {1, 0x8B49D6BAF917439A}, {1, 0x0F30A36A8294976C}, {0, 0}}}},
    {"rgb",
     {{{1, 0x04BB81044A89B653}, {1, 0x565E129301440542}, {1, 0xA1EF92A4398FD2CB},
       {1, 0x37B2D62B7A207C1F}, {1, 0x7209703F65993203}, {1, 0xA2BB33E99AD8FDC6},
       {1, 0x2CF5359E84533F41}, {1, 0x4A934EB44D9808E5}, {1, 0x2D72F7EA00A5A089}}}},
    {"rgb-planar",
     {{{1, 0x6F5635B1EB138F9D}, {1, 0x198A78848EE1A0AF}, {1, 0x3806D7D1D784AC15},
       {1, 0x627859FFF336B4EE}, {1, 0x00C4374D7243F295}, {1, 0xCF73B1B237AAFA36},
       {1, 0xD93738B9D7B7D5BC}, {1, 0xAAF3974839993569}, {0, 0}}}},
    {"rgb-tiled",
     {{{1, 0xA0FA3B7737C511D8}, {1, 0x3C479282E8D9237D}, {1, 0xCAE6D6C935B8CD0B},
       {1, 0xABC2C54D193DDD22}, {1, 0x31647FD234B75721}, {1, 0x2F0192F665D55598},
       {1, 0x608F1736C30E14FF}, {1, 0xF18BFCC0BF71E72A}, {1, 0x8D2601DD15072C42}}}},
    {"ycbcr-jpeg",
     {{{1, 0xB91C6EA73181BD24}, {1, 0xAF045CDF7D9FABA8}, {1, 0xD8C54FF58D788F90},
       {1, 0xB16763C943B38DC4}, {1, 0xF8B524741AE3FA27}, {1, 0xB1C187040834ADFB},
       {1, 0x8C30BEB2665EF44F}, {1, 0xEBBB5135A9A5815C}, {1, 0x809358EB75FC49BF}}}},
};

const KeptOutputs kSharedFileOutputs[] = {
    {"fax2d.tif",
     {{{1, 0x28D5EC6F221DB166}, {1, 0x709FFDBF1E67DF8F}, {1, 0x5781DB1BA250BAA5},
       {1, 0x283A2CBEC01C2D18}, {1, 0x0BA635A5C244B416}, {1, 0x16DF5BD1A0B25B51},
       {1, 0xD3C0E0F0F9C6B5B6}, {1, 0x811C067F53EBCF09}, {0, 0}}}},
    {"g3test.tif",
     {{{1, 0xEB9D73673BB75F68}, {1, 0xD75D3F871C85DB7E}, {1, 0x3E72D8C1E15B97AB},
       {1, 0x9D14D2B4D343F429}, {1, 0xD9296B75FAF5BBEB}, {1, 0xF605FDD0195EFFE3},
       {1, 0x4A304C1253CC50BA}, {1, 0xBD4B0E0E9DB4B95A}, {0, 0}}}},
    {"G4.TIF",
     {{{1, 0xD9F1771B9612A1A5}, {1, 0x62A0D3F3C45025C8}, {1, 0xC1D9E063B67211FC},
       {1, 0x62E917D52FFEA2E1}, {1, 0x76F12E0AF7B876A7}, {1, 0x5EF3123CF0345F1E},
       {1, 0x259A35ED56762292}, {1, 0xAE287ED623120D19}, {0, 0}}}},
    {"logluv-3c-16b.tiff",
     {{{1, 0x94BA05AA15977D6A}, {1, 0xA63898B6DB51F038}, {0, 0},
       {0, 0}, {0, 0}, {0, 0},
       {0, 0}, {1, 0x74C3AF43D141CBBF}, {0, 0}}}},
    {"minisblack-1c-16b.tiff",
     {{{1, 0x5A388AE51E9142C4}, {1, 0xF72813D7FA7A7B6F}, {0, 0},
       {0, 0}, {0, 0}, {0, 0},
       {0, 0}, {1, 0x9824239E93D15941}, {0, 0}}}},
    {"minisblack-1c-8b.tiff",
     {{{1, 0x44E80754C75FCD29}, {1, 0x910EB7440EBA23D3}, {1, 0x8DA1684E2A03BAE8},
       {1, 0xC7D61DE658C026EF}, {1, 0x65C1FE22DA5421C5}, {1, 0x819D3D0B8D66687B},
       {1, 0xE56E2F7712A0C57B}, {1, 0x4BD6DED738017CDA}, {1, 0x570C561C627E9265}}}},
    {"minisblack-2c-8b-alpha.tiff",
     {{{1, 0x330CB905513075DF}, {1, 0x9991480F8EA677F1}, {0, 0},
       {0, 0}, {0, 0}, {0, 0},
       {0, 0}, {1, 0x7A94A48F925DBC34}, {1, 0xF940D281BCDB4F1D}}}},
    {"miniswhite-1c-1b.tiff",
     {{{1, 0xEE55F8B74484EE36}, {1, 0xA2A770D41BEE6E88}, {1, 0x74602C188335EF10},
       {1, 0xDC6BAC266FBBE797}, {1, 0x6059C9D3E10B2FEF}, {1, 0x645C8777DBC8EE57},
       {1, 0x25532B5F074ECDF7}, {1, 0xD11B24A7EDF9B829}, {0, 0}}}},
    {"multipage.tif",
     {{{3, 0xE494CB2149B030FC}, {3, 0x452625FB7FD0C564}, {1, 0x2F9BB327370277FC},
       {1, 0x5CAAEC33F5049806}, {1, 0x39E36BD741201D16}, {1, 0xF7CE33940461CB17},
       {1, 0x22B0DB94CEB713CA}, {3, 0x13A153BAE55C3CAD}, {0, 0}}}},
    {"palette-1c-1b.tiff",
     {{{1, 0xFB369A72834C33E6}, {1, 0x37BF285F119D1345}, {0, 0},
       {0, 0}, {0, 0}, {0, 0},
       {0, 0}, {1, 0x55D9E34C72AE0167}, {0, 0}}}},
    {"palette-1c-4b.tiff",
     {{{1, 0x156FD76B980CA157}, {1, 0x76958EEBF458428A}, {0, 0},
       {0, 0}, {0, 0}, {0, 0},
       {0, 0}, {1, 0xFF5F3AC0AEF51D51}, {0, 0}}}},
    {"palette-1c-8b.tiff",
     {{{1, 0xB90031B5237B1D3F}, {1, 0x58C6F6FFE8D7C6E9}, {1, 0x1D24A505C5F7278C},
       {1, 0x6C72E536DE887B34}, {1, 0xFFB059568EC049B6}, {1, 0x64279F96C47B88B9},
       {1, 0x9E30EFF187EE03FB}, {1, 0xBC84FD89AADE39CF}, {0, 0}}}},
    {"quad-jpeg.tif",
     {{{1, 0x6F40751824C1D50A}, {1, 0xB28553D8FECE371C}, {1, 0x949110BFAE83E6D6},
       {1, 0xBB5089CA0D9F385B}, {1, 0x1144D8C19BFF0EE9}, {1, 0x14FB534045992E0C},
       {1, 0xE0F06CF6A99F4099}, {1, 0x20458E1D2E64B8E7}, {1, 0x2C499B0965ED0E4C}}}},
    {"quad-lzw-compat.tiff",
     {{{1, 0xF97FB643BC449B0B}, {1, 0xE40C82D942D68493}, {1, 0x0A1C83855146C424},
       {1, 0x7B4391845D4251B4}, {1, 0x434ED051A26FEBA9}, {1, 0x852736BB0761363B},
       {1, 0x28724955CA52A0C4}, {1, 0x1EC6FA05E7BD351E}, {1, 0x55F1EBBB10495F0F}}}},
    {"quad-tile.jpg.tiff",
     {{{1, 0xB2A2DE00227E662C}, {1, 0x02A943D0175B5956}, {1, 0x802AFF7E8446839E},
       {1, 0x277AEDF665C24B95}, {1, 0x93D4113BC3BF788A}, {1, 0x341AD0D03B5983BA},
       {1, 0xFB446AD9A0132393}, {1, 0xB8A6479E85964DF5}, {1, 0x2BBDAC066DC4A68B}}}},
    {"rgb-3c-16b.tiff",
     {{{1, 0x416F48B97B1A5142}, {1, 0x2D3FD2A3B9C77FD1}, {0, 0},
       {0, 0}, {0, 0}, {0, 0},
       {0, 0}, {1, 0x9B3719843DD220D3}, {0, 0}}}},
    {"rgb-3c-8b.tiff",
     {{{1, 0xC0F806133D9CC785}, {1, 0x91FF444A34348EAA}, {1, 0xB42166659C93A417},
       {1, 0xB23FA79EAC7383F3}, {1, 0x61B63A66808FC773}, {1, 0xE12BF8BBD5D3A78D},
       {1, 0xCF99E7A928D0B389}, {1, 0x1F17E3B682D40828}, {1, 0x9E0187A6D88196E3}}}},
    {"zackthecat.tif",
     {{{1, 0xEB67C423304B8ED2}, {1, 0xB8B5AEEE38123AB8}, {1, 0xB02D513EAEC729BD},
       {1, 0x88ECCDB30C833E56}, {1, 0xF72D9425FFFC00A4}, {1, 0x1F3C2AFFD42A831C},
       {1, 0xB98892E2AA2F2A5D}, {1, 0x98DB7C34E1BA7FE8}, {1, 0x49FBA6853594F3DE}}}},
};
// clang-format on

std::string keptLine(const char* input, const KeptByMode& modes) {
    std::string line = std::string("{\"") + input + "\", {{";
    for (std::size_t m = 0; m < modes.size(); ++m) {
        char entry[64];
        std::snprintf(entry, sizeof entry, "%s{%d, 0x%016" PRIX64 "}", m ? ", " : "",
                      modes[m].pages, modes[m].digest);
        line += entry;
    }
    return line + "}}},";
}

// Converts the input in every mode; every page it wrote before comes out
// byte for byte as it did (pages after them may be new).
void expectKeptPages(const std::string& input, const char* name, const KeptByMode* kept) {
    TempDir dir;
    KeptByMode now{};
    bool same = kept != nullptr;
    for (const CompressionMode mode : kEveryCompressionMode) {
        ConversionOptions options;
        options.compressionMode = mode;
        options.tempFile = dir.file("tmptif.tbw");
        test::ReportRecorder report;
        const std::string out = dir.file(std::to_string(int(mode)));
        convertFiles(1, {input}, out, options, report);
        const int pages = int(test::pageDigests(out + ".tif").size());
        now[std::size_t(mode)] = {pages, test::leadingPagesDigest(out + ".tif", pages)};
        if (!kept)
            continue;
        const Kept& before = (*kept)[std::size_t(mode)];
        if (before.pages > 0 &&
            test::leadingPagesDigest(out + ".tif", before.pages) != before.digest) {
            ADD_FAILURE() << name << " in mode " << int(mode) << " no longer gives the "
                          << before.pages << " page(s) it gave";
            same = false;
        }
    }
    if (!same)
        ADD_FAILURE() << "now: " << keptLine(name, now);
}

const KeptByMode* keptFor(const std::string& name, const KeptOutputs* table, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (name == table[i].input)
            return &table[i].modes;
    return nullptr;
}

TEST(UnchangedOutputs, PagesOfTheKindsConvertedBeforeKeepTheirBytesInEveryMode) {
    TempDir dir;
    for (const auto& [name, pages] : fixtures()) {
        const std::string input = dir.file(name + ".tif");
        test::writeTiff(input, pages);
        expectKeptPages(input, name.c_str(),
                        keptFor(name, kFixtureOutputs, std::size(kFixtureOutputs)));
    }
}

TEST(UnchangedOutputs, TheSharedFilesKeepTheBytesOfEveryPageTheyGaveBeforeInEveryMode) {
    if (test::sharedTestData().empty())
        GTEST_SKIP() << "no shared test files here";
    for (const auto& entry : std::filesystem::directory_iterator(test::sharedTestData())) {
        if (entry.path().extension() == ".md")
            continue;
        const std::string name = entry.path().filename().string();
        expectKeptPages(entry.path().string(), name.c_str(),
                        keptFor(name, kSharedFileOutputs, std::size(kSharedFileOutputs)));
    }
}

} // namespace
} // namespace pagesmith
