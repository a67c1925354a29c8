#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include "backup/app/Form1.h"
#include "backup/app/HostWarning.h"
#include "launcher/TempFolder.h"

using namespace vorra::backup;
using vorra::testing::readBytes;
using vorra::testing::TempFolder;
using vorra::testing::writeBytes;
namespace fs = std::filesystem;

namespace {

class BackupWindow : public ::testing::Test {
protected:
    TempFolder tool;

    void add(const std::string& name, const std::string& bytes) { writeBytes(tool.path() / name, bytes); }
    QString label(Form1& form, const char* name) { return form.findChild<QLabel*>(name)->text(); }
    QStringList listed(Form1& form) {
        QStringList names;
        auto* list = form.findChild<QListWidget*>("List1");
        for (int row = 0; row < list->count(); ++row) names << list->item(row)->text();
        return names;
    }
    void sendMouse(Form1& form, QEvent::Type type, QPoint local, Qt::MouseButton button,
                   Qt::MouseButtons buttons) {
        QMouseEvent event(type, local, form.mapToGlobal(local), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&form, &event);
    }
};

}  // namespace

TEST_F(BackupWindow, ShowsItsCaptionControlsAndRoundedTopmostOutline) {
    Form1 form(tool.str());
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("Excel支票Quorvan模板备份："));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form.findChild<QPushButton*>("Command2")->text(), "Mouldsafe");
    EXPECT_EQ(form.findChild<QPushButton*>("Command1")->text(), QString::fromUtf8("退  出"));
    EXPECT_EQ(label(form, "Label1"), QString::fromUtf8("模板备份位置："));
    EXPECT_TRUE(label(form, "Label2").isEmpty());
    EXPECT_TRUE(label(form, "Label3").isEmpty());
    EXPECT_TRUE(form.findChild<QLabel*>("Label3")->font().bold());

    const QRegion outline = form.mask();
    EXPECT_FALSE(outline.contains(QPoint(0, 0)));
    EXPECT_FALSE(outline.contains(QPoint(form.width() - 1, form.height() - 1)));
    EXPECT_TRUE(outline.contains(QPoint(form.width() / 2, form.height() / 2)));
}

TEST_F(BackupWindow, ListsTheWorkbooksFoundWhenItLoads) {
    add("b.xlsx", "b");
    add("a.xls", "a");
    add("notes.txt", "n");
    Form1 form(tool.str());
    add("c.xls", "later");  // not listed until the program starts again
    EXPECT_EQ(listed(form), (QStringList{"a.xls", "b.xlsx"}));

    form.findChild<QPushButton*>("Command2")->click();
    EXPECT_EQ(label(form, "Label2"), QString::fromStdString(tool.str() + "/模板备份/"));
    EXPECT_EQ(label(form, "Label3"), QString::fromUtf8("备份完毕！"));
    EXPECT_FALSE(fs::exists(tool.path() / "模板备份" / "c.xls"));
}

TEST_F(BackupWindow, BlockedFolderReplacesTheDoneMessage) {
    add("a.xls", "a");
    writeBytes(tool.path() / "模板备份", "");
    Form1 form(tool.str() + "/");
    form.findChild<QPushButton*>("Command2")->click();
    EXPECT_EQ(label(form, "Label2"), QString::fromStdString(tool.str() + "/模板备份/"));
    EXPECT_EQ(label(form, "Label3"),
              QString::fromUtf8("有一个名为“模板备份”的文件占住了备份文件夹的位置，无法备份！\n"
                                "以下文件未能备份：a.xls"));
}

// The window backs up the names as the file system holds them, and the list of files
// that could not be copied can be read to its end, however long it is.
TEST_F(BackupWindow, CopiesNamesByTheirBytesAndShowsEveryFileNotCopied) {
    const std::string notUtf8 = "\xD6\xA7\xC6\xB1.xls";
    add(notUtf8, "cheque");
    std::vector<std::string> blocked;
    for (int i = 0; i < 40; ++i) {
        blocked.push_back("第" + std::to_string(i) + "张支票模板.xls");
        add(blocked.back(), "x");
        fs::create_directories(tool.path() / "模板备份" / blocked.back());  // a folder where the copy would go
    }
    Form1 form(tool.str());
    form.show();
    form.findChild<QPushButton*>("Command2")->click();
    QApplication::processEvents();
    EXPECT_EQ(readBytes(tool.path() / "模板备份" / notUtf8), "cheque");

    auto* label3 = form.findChild<QLabel*>("Label3");
    for (const std::string& name : blocked) EXPECT_TRUE(label3->text().contains(QString::fromStdString(name))) << name;
    auto* area = form.findChild<QScrollArea*>("Label3Area");
    ASSERT_NE(area, nullptr);
    EXPECT_GE(label3->height(), label3->heightForWidth(area->viewport()->width()));
    EXPECT_EQ(area->verticalScrollBar()->maximum(), label3->height() - area->viewport()->height());
    EXPECT_GT(area->verticalScrollBar()->maximum(), 0);
}

TEST_F(BackupWindow, DragsByItsBodyWithTheLeftButtonOnly) {
    Form1 form(tool.str());
    form.move(100, 100);
    form.show();
    const QPoint body(200, 20);

    sendMouse(form, QEvent::MouseButtonPress, body, Qt::RightButton, Qt::RightButton);
    sendMouse(form, QEvent::MouseMove, body + QPoint(30, 40), Qt::NoButton, Qt::RightButton);
    sendMouse(form, QEvent::MouseButtonRelease, body + QPoint(30, 40), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(form.pos(), QPoint(100, 100));

    sendMouse(form, QEvent::MouseButtonPress, body, Qt::LeftButton, Qt::LeftButton);
    sendMouse(form, QEvent::MouseMove, body + QPoint(30, 40), Qt::NoButton, Qt::LeftButton);
    sendMouse(form, QEvent::MouseButtonRelease, body + QPoint(30, 40), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(form.pos(), QPoint(130, 140));
}

TEST_F(BackupWindow, QuitButtonClosesTheWindow) {
    Form1 form(tool.str());
    form.show();
    form.findChild<QPushButton*>("Command1")->click();
    EXPECT_FALSE(form.isVisible());
}

TEST(HostRunningWarning, IsACriticalTopmostMessageWithTheSystemTitle) {
    const auto box = hostRunningWarning();
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->windowTitle(), QString::fromUtf8("系统："));
    EXPECT_EQ(box->text(),
              QString::fromUtf8("“Excel程序”正在运行，请先保存、退出，然后点击“确定”，继续执行卸载！"));
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

// The program copies the workbooks of its own folder even when started from elsewhere.
TEST(MouldsafeProgram, BacksUpItsOwnFolderWhenStartedFromAnotherWorkingFolder) {
    TempFolder tool;
    TempFolder elsewhere;
    fs::copy_file(MOULDSAFE_PROGRAM, tool.path() / "Mouldsafe");
    writeBytes(tool.path() / "支票.xls", "cheque");
    writeBytes(elsewhere.path() / "other.xls", "not mine");

    QProcess program;
    program.setWorkingDirectory(QString::fromStdString(elsewhere.str()));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("ASAN_OPTIONS", "detect_leaks=0");  // the toolkit's caches outlive main
    program.setProcessEnvironment(environment);
    const QString shot = QString::fromStdString((tool.path() / "shot.png").string());
    program.start(QString::fromStdString((tool.path() / "Mouldsafe").string()),
                  {"--screenshot", shot, "--press-backup"});
    ASSERT_TRUE(program.waitForFinished(120000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

    EXPECT_EQ(readBytes(tool.path() / "模板备份" / "支票.xls"), "cheque");
    EXPECT_FALSE(fs::exists(tool.path() / "模板备份" / "other.xls"));
    EXPECT_FALSE(fs::exists(elsewhere.path() / "模板备份"));
    EXPECT_TRUE(fs::exists(tool.path() / "shot.png"));
}

// --help and an unknown option print the usage and start nothing: no window, no backup.
TEST(MouldsafeProgram, HelpPrintsTheUsageAndStartsNothing) {
    TempFolder tool;
    fs::copy_file(MOULDSAFE_PROGRAM, tool.path() / "Mouldsafe");
    writeBytes(tool.path() / "支票.xls", "cheque");
    for (const auto& [args, exitCode] : {std::pair<QStringList, int>{{"--help"}, 0}, {{"--bogus"}, 2}}) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.start(QString::fromStdString((tool.path() / "Mouldsafe").string()), args);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), exitCode) << args.join(' ').toStdString();
        const QByteArray usage = exitCode == 0 ? program.readAllStandardOutput() : program.readAllStandardError();
        EXPECT_TRUE(usage.contains("usage: Mouldsafe")) << usage.toStdString();
    }
    EXPECT_FALSE(fs::exists(tool.path() / "模板备份"));
}
