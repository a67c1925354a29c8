#pragma once
// The add-in's globals: the host application it is connected to and the one
// application event sink, plus the values derived from where the library lives.

#include <memory>
#include <string>
#include <string_view>

#include "addin/frame/host/Host.h"

namespace vorra {

class XlAppEvents;

// Set first thing at connection, released at disconnection.
extern host::Application* XlApp;
// Created at connection, released at disconnection.
extern std::unique_ptr<XlAppEvents> XlEvents;

// XlApp as a reference; "object required" when the add-in is not connected, so that
// a step run without a host fails like any other host call.
host::Application& connectedHost();

// Whether the active workbook has a worksheet of exactly this name; false also when
// the host cannot tell.
bool hasWorksheet(const std::string& name);
// Activates the active workbook's worksheet of exactly this name; false when there is
// none (or the host fails on the way).
bool activateWorksheet(const std::string& name);

// The folder of a file path with exactly one trailing "/": "/opt/vorra/libvorra.so"
// gives "/opt/vorra/", "/libvorra.so" gives "/".
std::string folderOf(std::string_view filePath);

// The folder this library was loaded from, with one trailing "/".
std::string addinFolder();

// The launch marker "setting.ini" in a folder: only its existence matters.
std::string launchMarkerPath(const std::string& folder);
bool launchMarkerExists(const std::string& folder);
void deleteLaunchMarker(const std::string& folder);

// The leading number of a text read as a decimal number is read from the start of a
// text: "11.0" gives 11, "16.0" gives 16, a text not starting with a number gives 0.
double leadingNumber(std::string_view text);

// The major version of the connected host, from its version text.
double hostVersionNumber();

}  // namespace vorra
