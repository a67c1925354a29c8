#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QRegion>

#include "FakeTimerService.h"
#include "TempFolder.h"
#include "launcher/app/Form1.h"
#include "launcher/app/QtTimerService.h"

using namespace vorra::launcher;
using vorra::testing::readBytes;
using vorra::testing::TempFolder;

namespace {

class WelcomeWindow : public ::testing::Test {
protected:
    TempFolder folder;
    FakeTimerService service;
    Module1 timers{service, "Quorlaunch"};
    std::optional<std::string> configuredHost = std::string("/opt/vorra/vorra-desktop");
    std::vector<std::string> started;
    std::vector<std::string> told;

    std::unique_ptr<Form1> loadedForm() {
        auto form = std::make_unique<Form1>(LauncherServices{
            timers, folder.str(), [this] { return configuredHost; },
            [this](const std::string& program) {
                started.push_back(program);
                return true;
            },
            [this](const std::string& message) { told.push_back(message); }});
        form->show();
        form->Form_Load();
        return form;
    }
    // The one timer the window runs.
    std::int32_t welcomeTimer() const {
        return service.running.empty() ? 0 : service.running.begin()->first;
    }
};

}  // namespace

TEST_F(WelcomeWindow, IsATopmostRoundedPictureWithItsCaption) {
    auto form = loadedForm();
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("【Excel支票Quorvan】"));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form->size(), QSize(561, 358));
    EXPECT_EQ(productPicture().size(), QSize(561, 358));

    const QRegion outline = form->mask();
    EXPECT_TRUE(outline.contains(QPoint(280, 179)));
    EXPECT_TRUE(outline.contains(QPoint(280, 1)));
    for (const QPoint corner : {QPoint(0, 0), QPoint(560, 0), QPoint(0, 357), QPoint(560, 357)})
        EXPECT_FALSE(outline.contains(corner)) << corner.x() << "," << corner.y();

    const QImage shown = form->picture();
    EXPECT_EQ(shown.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(shown.pixelColor(280, 179).alpha(), 255);
}

TEST_F(WelcomeWindow, LoadingWritesTheMarkerAndWaitsThreeSeconds) {
    auto form = loadedForm();
    EXPECT_EQ(readBytes(folder.path() / "setting.ini"),
              "\xBB\xB6\xD3\xAD\xC4\xFA\xA3\xAC\xCA\xB9\xD3\xC3"
              "ExcelQuorvan\xA3\xA1\r\n");
    ASSERT_EQ(service.running.size(), 1u);
    EXPECT_EQ(service.intervalOf(welcomeTimer()), 3000);
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(WelcomeWindow, FirstTickStartsTheHostOnceAndClosesTheWindow) {
    auto form = loadedForm();
    const std::int32_t id = welcomeTimer();
    service.tick(id);
    service.tick(id);
    EXPECT_EQ(started, std::vector<std::string>{"/opt/vorra/vorra-desktop"});
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(service.running.empty());
    EXPECT_EQ(timers.TimerSlots(1), nullptr);
}

TEST_F(WelcomeWindow, UnknownHostStartsNothingButTheWindowStillCloses) {
    configuredHost.reset();
    auto form = loadedForm();
    service.tick(welcomeTimer());
    EXPECT_TRUE(started.empty());
    EXPECT_FALSE(form->isVisible());
    // The marker stays for the next time the host loads the add-in.
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "setting.ini"));
}

// Nothing would ever start the host: the window says so and closes.
TEST_F(WelcomeWindow, RefusedTimerIsToldAndClosesTheWindowButStillLeavesTheMarker) {
    service.refuse = true;
    auto form = loadedForm();
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "setting.ini"));
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(told, std::vector<std::string>{"欢迎窗口的计时器无法启动（Can't   create   system   timer），"
                                             "Excel支票Quorvan没有启动电子表格程序，本程序将关闭。"});
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(service.running.empty());
}

TEST(QtTimerService, DeliversTicksUntilTheTimerIsDestroyed) {
    QtTimerService service;
    int ticks = 0;
    std::int32_t id = 0;
    id = service.createTimer(1, [&](std::int32_t tickId) {
        EXPECT_EQ(tickId, id);
        if (++ticks == 2) service.destroyTimer(tickId);
    });
    ASSERT_NE(id, 0);

    QElapsedTimer waited;
    waited.start();
    while (ticks < 2 && waited.elapsed() < 10000) QCoreApplication::processEvents();
    // Events still queued for the destroyed timer must not reach the callback.
    for (int i = 0; i < 50; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 2);
}

// The program itself: marker in its own folder, the host from "host-path", then it ends.
TEST(QuorlaunchProgram, LeavesTheMarkerBesideItselfAndStartsTheInstalledHostOnce) {
    TempFolder install;
    TempFolder elsewhere;
    std::filesystem::copy_file(QUORLAUNCH_PROGRAM, install.path() / "Quorlaunch");
    const auto startedLog = install.path() / "started.log";
    vorra::testing::writeBytes(install.path() / "host.sh",
                               "#!/bin/sh\necho started >> '" + startedLog.string() + "'\n");
    std::filesystem::permissions(install.path() / "host.sh", std::filesystem::perms::owner_all);
    vorra::testing::writeBytes(install.path() / "host-path", "host.sh\n");

    QProcess program;
    program.setWorkingDirectory(QString::fromStdString(elsewhere.str()));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("VORRA_HOST_PROGRAM");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("ASAN_OPTIONS", "detect_leaks=0");  // the toolkit's caches outlive main
    program.setProcessEnvironment(environment);
    program.start(QString::fromStdString((install.path() / "Quorlaunch").string()), {});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

    EXPECT_EQ(readBytes(install.path() / "setting.ini"),
              "\xBB\xB6\xD3\xAD\xC4\xFA\xA3\xAC\xCA\xB9\xD3\xC3"
              "ExcelQuorvan\xA3\xA1\r\n");
    EXPECT_FALSE(std::filesystem::exists(elsewhere.path() / "setting.ini"));
    // The host runs detached; give it time to leave its trace.
    QElapsedTimer waited;
    waited.start();
    while (!std::filesystem::exists(startedLog) && waited.elapsed() < 20000) QThread::msleep(20);
    QThread::msleep(100);
    EXPECT_EQ(readBytes(startedLog), "started\n");
}

// --help and an unknown option print the usage and start nothing: no window, no marker,
// no host.
TEST(QuorlaunchProgram, HelpPrintsTheUsageAndStartsNothing) {
    TempFolder install;
    std::filesystem::copy_file(QUORLAUNCH_PROGRAM, install.path() / "Quorlaunch");
    const auto startedLog = install.path() / "started.log";
    vorra::testing::writeBytes(install.path() / "host.sh",
                               "#!/bin/sh\necho started >> '" + startedLog.string() + "'\n");
    std::filesystem::permissions(install.path() / "host.sh", std::filesystem::perms::owner_all);
    vorra::testing::writeBytes(install.path() / "host-path", "host.sh\n");
    for (const auto& [args, exitCode] : {std::pair<QStringList, int>{{"--help"}, 0}, {{"--bogus"}, 2}}) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("VORRA_HOST_PROGRAM");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.start(QString::fromStdString((install.path() / "Quorlaunch").string()), args);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), exitCode) << args.join(' ').toStdString();
        const QByteArray usage = exitCode == 0 ? program.readAllStandardOutput() : program.readAllStandardError();
        EXPECT_TRUE(usage.contains("usage: Quorlaunch")) << usage.toStdString();
    }
    QThread::msleep(200);
    EXPECT_FALSE(std::filesystem::exists(install.path() / "setting.ini"));
    EXPECT_FALSE(std::filesystem::exists(startedLog));
}
