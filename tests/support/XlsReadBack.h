#pragma once
// Reads a 97–2003 workbook file back with an independent reader (python3-xlrd from the
// distribution) and returns what it saw as lines, one fact per line:
//   sheet|<index>|<name>|<visibility>|<selected>
//   cell|<sheet>|<row>|<col>|<type>|<value>|<number format>|<font>|<bold>|<h-align>|<wrap>
//   col|<sheet>|<col>|<width in 1/256 characters>|<hidden>
//   row|<sheet>|<row>|<height in twips>|<hidden>
//   merge|<sheet>|<top>|<bottom>|<left>|<right>
// Rows and columns are 1-based; cell types are the reader's (1 text, 2 number,
// 4 boolean, 5 error, 6 blank). Tests skip when the reader is not installed.
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace vorra::testing {

inline constexpr const char* kPython = VORRA_PYTHON;

// Runs a python script (passed through a file) with arguments; its standard output,
// or "ERROR ..." lines when it failed.
inline std::vector<std::string> runPython(const std::string& script, const std::string& args) {
    auto scriptPath = std::filesystem::temp_directory_path() /
                      ("vorra-readback-" + std::to_string(::getpid()) + ".py");
    if (FILE* f = std::fopen(scriptPath.c_str(), "w")) {
        std::fputs(script.c_str(), f);
        std::fclose(f);
    }
    std::string cmd = "PYTHONIOENCODING=utf-8 timeout 120 " + std::string(kPython) + " " +
                      scriptPath.string() + " " + args + " 2>&1";
    std::vector<std::string> lines;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        std::string line;
        std::array<char, 4096> buf{};
        while (std::fgets(buf.data(), int(buf.size()), p)) {
            line += buf.data();
            if (!line.empty() && line.back() == '\n') {
                line.pop_back();
                lines.push_back(line);
                line.clear();
            }
        }
        if (!line.empty()) lines.push_back(line);
        if (int rc = ::pclose(p); rc != 0) lines.push_back("ERROR exit " + std::to_string(rc));
    }
    std::filesystem::remove(scriptPath);
    return lines;
}

inline std::vector<std::string> readBackXls(const std::string& path) {
    static const char* script = R"PY(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
def text(v):
    return str(v).replace("\\", "\\\\").replace("\n", "\\n")
for i, sh in enumerate(b.sheets()):
    print("sheet|%d|%s|%d|%d" % (i, sh.name, sh.visibility, sh.sheet_selected))
for sh in b.sheets():
    for r in range(sh.nrows):
        for c in range(sh.ncols):
            cell = sh.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            xf = b.xf_list[cell.xf_index]
            fmt = b.format_map[xf.format_key].format_str
            font = b.font_list[xf.font_index]
            v = repr(cell.value) if cell.ctype == xlrd.XL_CELL_NUMBER else text(cell.value)
            print("cell|%s|%d|%d|%d|%s|%s|%s|%d|%d|%d" % (sh.name, r + 1, c + 1, cell.ctype, v, fmt,
                  font.name, font.bold, xf.alignment.hor_align, xf.alignment.text_wrapped))
    for c, info in sorted(sh.colinfo_map.items()):
        print("col|%s|%d|%d|%d" % (sh.name, c + 1, info.width, info.hidden))
    for r, info in sorted(sh.rowinfo_map.items()):
        print("row|%s|%d|%d|%d" % (sh.name, r + 1, info.height, info.hidden))
    for (r0, r1, c0, c1) in sh.merged_cells:
        print("merge|%s|%d|%d|%d|%d" % (sh.name, r0 + 1, r1, c0 + 1, c1))
)PY";
    return runPython(script, "'" + path + "'");
}

}  // namespace vorra::testing
