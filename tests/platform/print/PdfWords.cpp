#include "PdfWords.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <regex>
#include <stdexcept>

namespace vorra::print::testing {

namespace {

std::string run(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe.get())) > 0) out.append(buf, n);
    return out;
}

std::string quoted(const std::filesystem::path& p) {
    std::string s = "'";
    for (char c : p.string()) s += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return s + "'";
}

}  // namespace

std::vector<PdfWord> pdfWords(const std::filesystem::path& pdf) {
    const std::string xml = run("pdftotext -bbox " + quoted(pdf) + " - 2>/dev/null");
    std::vector<PdfWord> words;
    static const std::regex word(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    int page = -1;
    size_t pos = 0;
    for (;;) {
        size_t nextPage = xml.find("<page ", pos);
        size_t nextWord = xml.find("<word ", pos);
        if (nextWord == std::string::npos) break;
        if (nextPage != std::string::npos && nextPage < nextWord) {
            ++page;
            pos = nextPage + 1;
            continue;
        }
        std::smatch m;
        std::string rest = xml.substr(nextWord, xml.find("</word>", nextWord) + 7 - nextWord);
        if (std::regex_match(rest, m, word)) {
            words.push_back({page, m[5], std::stod(m[1]), std::stod(m[2]), std::stod(m[3]),
                             std::stod(m[4])});
        }
        pos = nextWord + 1;
    }
    return words;
}

std::pair<double, double> pdfPageSize(const std::filesystem::path& pdf) {
    const std::string info = run("pdfinfo " + quoted(pdf) + " 2>/dev/null");
    std::smatch m;
    static const std::regex size(R"(Page size:\s+([0-9.]+) x ([0-9.]+) pts)");
    if (!std::regex_search(info, m, size)) return {0, 0};
    return {std::stod(m[1]), std::stod(m[2])};
}

int pdfPageCount(const std::filesystem::path& pdf) {
    const std::string info = run("pdfinfo " + quoted(pdf) + " 2>/dev/null");
    std::smatch m;
    static const std::regex pages(R"(Pages:\s+([0-9]+))");
    if (!std::regex_search(info, m, pages)) return 0;
    return std::stoi(m[1]);
}

PdfInk::PdfInk(const std::filesystem::path& pdf, int dpi) : pointsPerPixel_(72.0 / dpi) {
    // A binary PGM: "P5", width, height, maximum, one byte a pixel.
    const std::string pgm =
        run("pdftoppm -gray -singlefile -f 1 -l 1 -r " + std::to_string(dpi) + " " + quoted(pdf) + " 2>/dev/null");
    int maximum = 0, consumed = 0;
    if (std::sscanf(pgm.c_str(), "P5 %d %d %d%n", &width_, &height_, &maximum, &consumed) != 3 || maximum != 255 ||
        width_ <= 0 || height_ <= 0 || pgm.size() < size_t(consumed) + 1 + size_t(width_) * size_t(height_))
        throw std::runtime_error("pdftoppm gave no picture of " + pdf.string());
    grey_.assign(pgm.begin() + consumed + 1, pgm.begin() + consumed + 1 + long(width_) * height_);
}

std::optional<PdfInk::Box> PdfInk::inkIn(const Box& area) const {
    auto pixel = [&](double points, int limit) { return std::clamp(int(points / pointsPerPixel_), 0, limit); };
    const int x0 = pixel(area.xMin, width_), x1 = pixel(area.xMax, width_);
    const int y0 = pixel(area.yMin, height_), y1 = pixel(area.yMax, height_);
    int left = x1, right = -1, top = y1, bottom = -1;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (grey_[size_t(y) * size_t(width_) + size_t(x)] < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) return std::nullopt;
    return Box{left * pointsPerPixel_, top * pointsPerPixel_, (right + 1) * pointsPerPixel_,
               (bottom + 1) * pointsPerPixel_};
}

}  // namespace vorra::print::testing
