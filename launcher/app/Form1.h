// The welcome window: shows the product picture, leaves the launch marker and, three
// seconds later, starts the host and closes.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "launcher/core/CTimer.h"

namespace vorra::launcher {

inline constexpr std::int32_t kWelcomeMilliseconds = 3000;

struct LauncherServices {
    Module1& timers;
    // The launcher's folder, where the marker goes.
    std::string folder;
    // The host program to start, or nullopt when it is not known.
    std::function<std::optional<std::string>()> hostProgram;
    // Starts the program without arguments; returns whether it started.
    std::function<bool(const std::string& program)> startHost;
    // Tells the user why the launcher stops (a message box unless a test listens).
    std::function<void(const std::string& message)> tell;
};

class Form1 : public QWidget {
public:
    explicit Form1(LauncherServices services, QWidget* parent = nullptr);
    ~Form1() override;

    // Starts the welcome timer and writes the marker. When the timer cannot start, it
    // says so and closes: nothing would ever start the host.
    void Form_Load();

    // The window as shown, corners cut to the rounded outline (transparent outside).
    QImage picture();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void m_t1_ThatTime();

    LauncherServices services_;
    std::shared_ptr<CTimer> m_t1;
};

// The product picture the window shows, 561 x 358 pixels.
QPixmap productPicture();

}  // namespace vorra::launcher
