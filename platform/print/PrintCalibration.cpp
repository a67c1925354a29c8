#include "platform/print/PrintCalibration.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

namespace vorra::print {

namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

}  // namespace

void requireUsable(const PageAdjustment& a) {
    auto offset = [](double mm, const char* axis) {
        if (!std::isfinite(mm) || std::abs(mm) > kMaxOffsetMm)
            throw CalibrationError(std::string("The ") + axis + " offset " + number(mm) +
                                   " mm is not within ±" + number(kMaxOffsetMm) + " mm");
    };
    auto scale = [](double s, const char* axis) {
        if (!std::isfinite(s) || s < kMinScale || s > kMaxScale)
            throw CalibrationError(std::string("The ") + axis + " scale " + number(s) +
                                   " is not within " + number(kMinScale) + " to " +
                                   number(kMaxScale));
    };
    offset(a.offsetXmm, "horizontal");
    offset(a.offsetYmm, "vertical");
    scale(a.scaleX, "horizontal");
    scale(a.scaleY, "vertical");
}

PageAdjustment Calibrations::forJob(const std::string& printer, const std::string& sheet) const {
    if (auto own = entries_.find({printer, sheet}); own != entries_.end()) return own->second;
    if (auto all = entries_.find({printer, std::string()}); all != entries_.end())
        return all->second;
    return {};
}

bool Calibrations::has(const std::string& printer, const std::string& sheet) const {
    return entries_.count({printer, sheet}) != 0;
}

void Calibrations::set(const std::string& printer, const std::string& sheet,
                       const PageAdjustment& adjustment) {
    // A sheet's own adjustment that equals the printer's says nothing of its own.
    const bool redundant =
        sheet.empty() ? adjustment.identity() : adjustment == forJob(printer, std::string());
    if (redundant) {
        entries_.erase({printer, sheet});
        return;
    }
    store(printer, sheet, adjustment);
}

void Calibrations::store(const std::string& printer, const std::string& sheet,
                         const PageAdjustment& adjustment) {
    requireUsable(adjustment);
    if (printer.empty() || printer.find_first_of(" \t\r\n[]") != std::string::npos)
        throw CalibrationError("A printer name for a calibration must be one word: \"" + printer +
                               "\"");
    if (sheet.find_first_of("\r\n]") != std::string::npos)
        throw CalibrationError("A sheet name for a calibration cannot hold a line break or \"]\"");
    if (entries_.size() >= kMaxCalibrations && !has(printer, sheet))
        throw CalibrationError("More than " + std::to_string(kMaxCalibrations) + " calibrations");
    entries_[{printer, sheet}] = adjustment;
}

std::string Calibrations::format() const {
    std::string out;
    for (const auto& [key, a] : entries_) {
        out += "[" + key.first + (key.second.empty() ? "" : " " + key.second) + "]\n";
        if (a.offsetXmm != 0) out += "offset-x = " + number(a.offsetXmm) + "\n";
        if (a.offsetYmm != 0) out += "offset-y = " + number(a.offsetYmm) + "\n";
        if (a.scaleX != 1) out += "scale-x = " + number(a.scaleX) + "\n";
        if (a.scaleY != 1) out += "scale-y = " + number(a.scaleY) + "\n";
    }
    return out;
}

Calibrations Calibrations::parse(const std::string& text) {
    if (text.size() > kMaxCalibrationBytes)
        throw CalibrationError("The calibrations are longer than " +
                               std::to_string(kMaxCalibrationBytes) + " bytes");
    // Each section is read whole, then stored, so that its values are checked together.
    struct Section {
        std::string printer, sheet;
        PageAdjustment adjustment;
        int line = 0;
    };
    Calibrations result;
    std::optional<Section> open;
    std::set<std::pair<std::string, std::string>> seen;
    auto close = [&] {
        if (!open) return;
        try {
            if (!seen.insert({open->printer, open->sheet}).second)
                throw CalibrationError("[" + open->printer +
                                       (open->sheet.empty() ? "" : " " + open->sheet) +
                                       "] appears twice");
            result.store(open->printer, open->sheet, open->adjustment);
        } catch (const CalibrationError& e) {
            throw CalibrationError("line " + std::to_string(open->line) + ": " + e.what());
        }
        open.reset();
    };
    std::istringstream lines(text);
    std::string raw;
    for (int lineNo = 1; std::getline(lines, raw); ++lineNo) {
        const std::string line = trimmed(raw);
        auto fail = [&](const std::string& why) {
            throw CalibrationError("line " + std::to_string(lineNo) + ": " + why);
        };
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']') fail("a section is written [printer] or [printer sheet]");
            close();
            const std::string inside = trimmed(line.substr(1, line.size() - 2));
            const auto blank = inside.find_first_of(" \t");
            Section s;
            s.printer = inside.substr(0, blank);
            s.sheet = blank == std::string::npos ? std::string() : trimmed(inside.substr(blank));
            s.line = lineNo;
            if (s.printer.empty()) fail("a section without a printer name");
            open = s;
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) fail("expected key = value, not \"" + line + "\"");
        if (!open) fail("a value before the first [printer] section");
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        double v = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
        if (ec != std::errc() || end != value.data() + value.size() || value.empty())
            fail("\"" + value + "\" is not a number");
        if (key == "offset-x")
            open->adjustment.offsetXmm = v;
        else if (key == "offset-y")
            open->adjustment.offsetYmm = v;
        else if (key == "scale-x")
            open->adjustment.scaleX = v;
        else if (key == "scale-y")
            open->adjustment.scaleY = v;
        else
            fail("unknown key \"" + key + "\" (offset-x, offset-y, scale-x, scale-y)");
    }
    close();
    return result;
}

Calibrations Calibrations::load(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw CalibrationError("Cannot read the calibration file " + file.string());
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<size_t>(in.gcount()));
        if (text.size() > kMaxCalibrationBytes) break;
    }
    try {
        return parse(text);
    } catch (const CalibrationError& e) {
        throw CalibrationError(file.string() + ": " + e.what());
    }
}

}  // namespace vorra::print
