#pragma once
// Reads a PDF back as words with their boxes in points (pdftotext -bbox), and the size
// of its pages (pdfinfo), to check where printed texts landed.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorra::print::testing {

struct PdfWord {
    int page = 0;  // 0-based
    std::string text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

std::vector<PdfWord> pdfWords(const std::filesystem::path& pdf);

// Page width and height in points of the first page.
std::pair<double, double> pdfPageSize(const std::filesystem::path& pdf);

int pdfPageCount(const std::filesystem::path& pdf);

// Where ink landed on the first page of a PDF, read from a grey picture of it
// (pdftoppm): what a print service writes keeps the glyphs' places even where it loses
// the fonts' text.
class PdfInk {
public:
    explicit PdfInk(const std::filesystem::path& pdf, int dpi = 200);
    struct Box {
        double xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // points
    };
    // The box around the dark pixels inside an area (points); nullopt when it is blank.
    std::optional<Box> inkIn(const Box& area) const;
    // Around all of the page's ink.
    std::optional<Box> inkIn() const { return inkIn({0, 0, 1e6, 1e6}); }

private:
    int width_ = 0, height_ = 0;
    double pointsPerPixel_ = 1;
    std::vector<unsigned char> grey_;
};

}  // namespace vorra::print::testing
