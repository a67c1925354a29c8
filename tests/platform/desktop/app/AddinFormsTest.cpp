// The add-in's forms in the Qt toolkit: each opens in a window of its own with its
// captions, and typing into its boxes has the effects typing has in the headless
// toolkit, on the form and on the fill-in cells.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QUrl>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "addin/batch/PiliangDY_frm.h"
#include "addin/bill/PrintForm.h"
#include "addin/bill/TianxiePJ_frm.h"
#include "addin/books/Add_User_frm.h"
#include "addin/books/Frm_收付款人.h"
#include "addin/books/Frm_金额用途.h"
#include "addin/datetool/Date_frm.h"
#include "addin/frame/Connect.h"
#include "addin/records/DayinJL_frm.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/templates/MB_frm.h"
#include "addin/templates/TemplateFiles.h"
#include "addin/templates/VorraMB_frm.h"
#include "platform/desktop/toolkit/FormWindow.h"
#include "platform/desktop/toolkit/QtToolkit.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/host/HostServices.h"
#include "platform/headless/toolkit/HeadlessToolkit.h"
#include "platform/headless/toolkit/UserActions.h"
#include "tools/sampletemplate/SampleTemplate.h"

namespace vorra::desktop {
namespace {

using namespace vorra::dialogs;

class ToolkitServices final : public engine::HostServices {
public:
    explicit ToolkitServices(Toolkit& toolkit) : toolkit_(toolkit) {}
    Toolkit* toolkit() override { return &toolkit_; }

private:
    Toolkit& toolkit_;
};

// A connected add-in on the engine with the sample template, showing its forms in the
// given toolkit.
class AddinHost {
public:
    explicit AddinHost(Toolkit& toolkit) : services_(toolkit), app_("16.0", &services_) {
        tools::buildSampleTemplate(*app_.addWorkbook());
        connect_.OnConnection(&app_, 1);
    }
    ~AddinHost() {
        for (auto& form : app_.toolkit().liveForms()) form->unload();
        connect_.OnDisconnection(0);
    }
    host::Application& app() { return app_; }
    // The fill-in cells the forms write, as displayed.
    std::vector<std::string> fillInCells() {
        std::vector<std::string> texts;
        auto sheet = app_.sheets("常用单位账号");
        for (const char* ref : {"D4", "E4", "F4", "D5", "E5", "K3", "K5", "G6", "L6"})
            texts.push_back(sheet->range(ref).text());
        return texts;
    }

private:
    ToolkitServices services_;
    engine::EngineApplication app_;
    Connect connect_;
};

// Every caption of the form's labels, buttons, check boxes and frames, as its widget shows it.
void expectCaptionsShown(const Form& form, FormWindow& window) {
    for (Control* c : form.controls()) {
        QWidget* w = window.controlWidget(c->name());
        ASSERT_NE(w, nullptr) << c->name();
        QString shown;
        std::string caption;
        switch (c->kind()) {
            case ControlKind::Label:
                shown = static_cast<QLabel*>(w)->text();
                caption = static_cast<Label*>(c)->caption();
                break;
            case ControlKind::CommandButton:
                shown = static_cast<QPushButton*>(w)->text();
                caption = static_cast<CommandButton*>(c)->caption();
                break;
            case ControlKind::CheckBox:
                shown = static_cast<QCheckBox*>(w)->text();
                caption = static_cast<CheckBox*>(c)->caption();
                break;
            case ControlKind::Frame:
                shown = static_cast<QGroupBox*>(w)->title();
                caption = static_cast<Frame*>(c)->caption();
                break;
            default: continue;
        }
        EXPECT_EQ(shown.toStdString(), caption) << form.name() << "." << c->name();
        EXPECT_EQ(w->isHidden(), !c->visible()) << c->name();
    }
}

// Saves the window's picture when VORRA_SCREENSHOT_DIR names a folder (the screenshot
// script sets it).
void saveScreenshot(QWidget& window, const char* file) {
    const char* dir = std::getenv("VORRA_SCREENSHOT_DIR");
    if (!dir || !*dir) return;
    window.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromUtf8(file)));
}

template <class F>
FormWindow& shownInQt(QtToolkit& toolkit, const char* caption) {
    auto form = FormInstance<F>::show(toolkit);
    FormWindow* window = toolkit.existingWindow(*form);
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle().toStdString(), caption);
    EXPECT_TRUE(window->topmost());
    expectCaptionsShown(*form, *window);
    return *window;
}

TEST(AddinForms, EachFormOpensInItsOwnTopmostWindowWithItsCaptions) {
    QtToolkit toolkit;
    AddinHost host(toolkit);
    shownInQt<Frm_打印票据>(toolkit, "打印票据：");
    shownInQt<Kuaijie_TX_frm>(toolkit, "快捷填写：");
    FormWindow& fillIn = shownInQt<TianxiePJ_frm>(toolkit, "填写票据：");
    saveScreenshot(fillIn, "TianxiePJ_frm.png");
    shownInQt<Frm_金额用途>(toolkit, "填写金额、用途：");
    shownInQt<Add_User_frm>(toolkit, "新增户名填写：");
    FormWindow& payees = shownInQt<Frm_收付款人>(toolkit, "填写收、付款人信息：");
    // Its size comes in twips: the window is the size of its controls, not twenty times it.
    EXPECT_LT(payees.width(), 1000);
}

TEST(AddinForms, TheWindowFormsAndTheBatchDialogOpenWithTheirCaptions) {
    QtToolkit toolkit;
    AddinHost host(toolkit);
    shownInQt<PiliangDY_frm>(toolkit, "批量打印：");
    shownInQt<DayinJL_frm>(toolkit, "打印记录：");
    shownInQt<VorraMB_frm>(toolkit, "套打模板：");
    shownInQt<Date_frm>(toolkit, "修改系统时间：");
    FormWindow& list = shownInQt<MB_frm>(toolkit, "");
    EXPECT_TRUE(list.topmost());
}

// The template window shows the list of imported templates, the import box and
// "导入模板" inside the window, and a file dropped on the list shows up in it.
TEST(AddinForms, TheTemplateWindowShowsItsListsAndADroppedFileInTheList) {
    namespace fs = std::filesystem;
    const fs::path templates = templateFolder(addinFolder());
    ASSERT_FALSE(fs::exists(templates)) << "left over from an earlier run: " << templates;
    fs::create_directories(templates);
    const fs::path dropped = fs::temp_directory_path() / ("第十表-" + std::to_string(::getpid()) + ".xls");
    std::ofstream(dropped) << "x";
    struct Cleanup {
        fs::path folder, file;
        ~Cleanup() {
            std::error_code ignored;
            fs::remove_all(folder, ignored);
            fs::remove(file, ignored);
        }
    } cleanup{templates, dropped};
    {
        QtToolkit toolkit;
        AddinHost host(toolkit);
        FormWindow& window = shownInQt<VorraMB_frm>(toolkit, "套打模板：");
        for (const char* name : {"Frame1", "List1", "Frame3", "List2", "Command3"}) {
            QWidget* w = window.controlWidget(name);
            QRect inWindow(w->mapTo(&window, QPoint(0, 0)), w->size());
            EXPECT_TRUE(window.rect().contains(inWindow)) << name;
        }
        auto* list = static_cast<QListWidget*>(window.controlWidget("List1"));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped.string()))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &drop);
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(list->item(0)->text().toStdString(), dropped.filename().string());
        EXPECT_TRUE(fs::exists(templates / dropped.filename()));
    }
}

// A click on 输入收款人 or 输入付款人 gives the option button the focus; its handler then
// moves the cursor into the search box, where the initials typed next arrive.
TEST(AddinForms, ChoosingPayeeOrPayerSendsTheTypedInitialsIntoTheSearchBox) {
    QtToolkit toolkit;
    AddinHost host(toolkit);
    auto form = FormInstance<Frm_收付款人>::show(toolkit);
    FormWindow* window = toolkit.existingWindow(*form);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    for (const char* option : {"OptionButton1", "OptionButton2"}) {
        QTest::mouseClick(window->controlWidget(option), Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), window->controlWidget("TextBox1")) << option;
        QTest::keyClicks(QApplication::focusWidget(), "sz");
        EXPECT_EQ(form->TextBox1.text(), "sz") << option;
        EXPECT_GT(form->ListView1.itemCount(), 0) << option;
        QTest::keyClick(window->controlWidget("TextBox1"), Qt::Key_Backspace);
        QTest::keyClick(window->controlWidget("TextBox1"), Qt::Key_Backspace);
    }
}

// ---- Layout: every form usable as it opens ----------------------------------------------------

// What a control's caption needs in pixels at the widget's font, or an empty size for a
// kind without a caption of its own; a box needs a line of text.
QSize captionNeeds(Control& control, QWidget& w) {
    const QFontMetrics fm(w.font());
    const QStyle* style = w.style();
    auto text = [&](const std::string& s) { return fm.size(Qt::TextShowMnemonic, QString::fromStdString(s)); };
    const QSize line(0, fm.height() + 2);
    return visitControl(control, Overloaded{
        [&](Label& c) {
            // Labels wrap their caption within their width.
            if (c.caption().empty()) return QSize();
            QRect r = fm.boundingRect(QRect(0, 0, w.width(), 100000), Qt::TextWordWrap,
                                      QString::fromStdString(c.caption()));
            return QSize(std::min(r.width(), w.width()), r.height());
        },
        [&](CommandButton& c) { return text(c.caption()) + QSize(8, 4); },
        [&](CheckBox& c) {
            return text(c.caption()) + QSize(style->pixelMetric(QStyle::PM_IndicatorWidth) +
                                                 style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + 2, 0);
        },
        [&](OptionButton& c) {
            return text(c.caption()) + QSize(style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                                                 style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing) + 2, 0);
        },
        [&](Frame& c) { return QSize(text(c.caption()).width() + 16, fm.height()); },
        [&](TextBox&) { return line; },
        [&](ComboBox&) { return line; },
        // A list shows at least one row; a search list shrinks to its heading row.
        [&](ListBox&) { return line; },
        [&](ListView&) { return line; },
        [&](Control&) { return QSize(); },
    });
}

// Everything wrong with the layout of the form's window as it is shown: controls empty
// in size, lying outside their window or frame, overlapping a neighbour in the same
// window or frame, or too small for their caption. `outOfView` names controls that the
// form leaves below its window on purpose.
std::vector<std::string> layoutFaults(const Form& form, FormWindow& window, const std::vector<std::string>& outOfView = {}) {
    std::vector<std::string> faults;
    auto where = [&](const Control& c) { return form.name() + "." + c.name() + ": "; };
    auto exempt = [&](const Control& c) {
        return std::find(outOfView.begin(), outOfView.end(), c.name()) != outOfView.end() ||
               std::find(outOfView.begin(), outOfView.end(), c.container()) != outOfView.end();
    };
    std::vector<std::pair<Control*, QWidget*>> shown;
    for (Control* c : form.controls()) {
        QWidget* w = window.controlWidget(c->name());
        if (!w) continue;
        if (c->width() <= 0 || c->height() <= 0) faults.push_back(where(*c) + "no size");
        if (!c->visible() || exempt(*c)) continue;
        shown.emplace_back(c, w);
        QRect inside = w->parentWidget()->rect();
        if (!inside.contains(w->geometry()))
            faults.push_back(where(*c) + "outside its " + (c->container().empty() ? "window" : "frame"));
        // A control in a frame stands below the frame's caption.
        if (!c->container().empty() && w->geometry().top() < QFontMetrics(w->parentWidget()->font()).height() - 2)
            faults.push_back(where(*c) + "over its frame's caption");
        QSize needs = captionNeeds(*c, *w);
        if (needs.width() > w->width() || needs.height() > w->height())
            faults.push_back(where(*c) + "caption needs " + std::to_string(needs.width()) + "x" +
                             std::to_string(needs.height()) + " pixels, has " + std::to_string(w->width()) + "x" +
                             std::to_string(w->height()));
    }
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j) {
            auto [a, wa] = shown[i];
            auto [b, wb] = shown[j];
            if (wa->parentWidget() == wb->parentWidget() && wa->geometry().intersects(wb->geometry()))
                faults.push_back(where(*a) + "overlaps " + b->name());
        }
    return faults;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    return all;
}

// The forms' pictures for the documentation: docs/screenshots/forms/*.png and the page
// docs/forms.md that shows them, when VORRA_SCREENSHOT_DIR names docs/screenshots.
class FormPictures {
public:
    FormPictures() {
        const char* dir = std::getenv("VORRA_SCREENSHOT_DIR");
        if (!dir || !*dir) return;
        dir_ = QDir(QString::fromLocal8Bit(dir));
        dir_.mkpath(QStringLiteral("forms"));
        page_ = "# The add-in's forms\n\n"
                "Every form of the add-in as the desktop shows it when it opens (the window's\n"
                "caption above each picture). The test `AddinForms.EveryFormIsLaidOutUsably`\n"
                "(tests/platform/desktop/app/AddinFormsTest.cpp) opens each of them and checks\n"
                "that no control is empty, lies outside its window or frame, overlaps another or\n"
                "is too small for its caption; run `scripts/desktop-screenshots.sh` to take\n"
                "these pictures again.\n";
    }
    ~FormPictures() {
        if (page_.empty()) return;
        QFile file(dir_.filePath(QStringLiteral("../forms.md")));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(page_.data(), static_cast<qint64>(page_.size()));
    }
    void take(const Form& form, FormWindow& window, const std::string& file, const std::string& what) {
        if (page_.empty()) return;
        window.grab().save(dir_.filePath(QStringLiteral("forms/") + QString::fromStdString(file)));
        if (form.name() != lastForm_)
            page_ += "\n## " + form.name() + " — " + (form.caption().empty() ? std::string("(no caption)") : form.caption()) + "\n";
        lastForm_ = form.name();
        page_ += "\n" + what + "\n\n![" + form.name() + "](screenshots/forms/" + file + ")\n";
    }

private:
    QDir dir_;
    std::string page_;
    std::string lastForm_;
};

// Opens the form and checks its layout, then as many further states of it as `states`
// brings about (each a step and its description); a picture of each.
template <class F>
void checkLayout(QtToolkit& toolkit, FormPictures& pictures, const std::string& what,
                 std::vector<std::pair<std::string, std::function<void(F&, FormWindow&)>>> states = {},
                 const std::vector<std::string>& outOfView = {}) {
    auto form = FormInstance<F>::show(toolkit);
    FormWindow* window = toolkit.existingWindow(*form);
    ASSERT_NE(window, nullptr) << form->name();
    QApplication::processEvents();
    EXPECT_GT(window->width(), 60) << form->name();
    EXPECT_GT(window->height(), 40) << form->name();
    auto faults = layoutFaults(*form, *window, outOfView);
    EXPECT_TRUE(faults.empty()) << joined(faults);
    pictures.take(*form, *window, form->name() + ".png", what);
    int n = 1;
    for (auto& [description, step] : states) {
        step(*form, *window);
        QApplication::processEvents();
        faults = layoutFaults(*form, *window, outOfView);
        EXPECT_TRUE(faults.empty()) << description << "\n" << joined(faults);
        pictures.take(*form, *window, form->name() + "-" + std::to_string(++n) + ".png", description);
    }
    form->unload();
}

// Types into a box of the form's window as the keyboard does, then Enter when asked.
void typeInto(FormWindow& window, const char* control, const char* text, bool enter = false) {
    QWidget* w = window.controlWidget(control);
    for (QChar c : QString::fromUtf8(text)) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(w, QString(c));
        } else {
            // Chinese arrives from the input method.
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(w, &commit);
        }
    }
    if (!enter) return;
    // The form says that nothing was found before it offers the entry fields.
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
    QTest::keyClick(w, Qt::Key_Return);
}

TEST(AddinForms, EveryFormIsLaidOutUsably) {
    QtToolkit toolkit;
    AddinHost host(toolkit);
    FormPictures pictures;
    checkLayout<Frm_收付款人>(toolkit, pictures, "填写票据, first step: payee and payer, searched as one types.",
                           {{"After searching for “sz”: the units found.",
                             [](auto&, FormWindow& w) { typeInto(w, "TextBox1", "sz"); }},
                            {"Enter on a search that found nothing: the fields of a new unit.",
                             [](auto& f, FormWindow& w) {
                                 f.TextBox1.setText("");
                                 typeInto(w, "TextBox1", "qqqq", true);
                             }}});
    checkLayout<Frm_金额用途>(toolkit, pictures, "填写票据, second step: purpose, amount, cheque number and password.",
                           {{"After searching for “费”: the purposes found.",
                             [](auto&, FormWindow& w) { typeInto(w, "TextBox1", "费"); }},
                            {"Enter on a search that found nothing: the fields of a new purpose.",
                             [](auto& f, FormWindow& w) {
                                 f.TextBox1.setText("");
                                 typeInto(w, "TextBox1", "qqqq", true);
                             }}});
    checkLayout<Frm_打印票据>(toolkit, pictures, "打印票据: the bill sheet to print.");
    checkLayout<TianxiePJ_frm>(toolkit, pictures, "The fill-in form: a whole bill in one window.");
    checkLayout<Kuaijie_TX_frm>(toolkit, pictures, "Quick fill.");
    checkLayout<Add_User_frm>(toolkit, pictures, "A new payee unit or purpose.");
    checkLayout<PiliangDY_frm>(toolkit, pictures, "批量打印: stepping through the batch list.");
    checkLayout<DayinJL_frm>(toolkit, pictures, "打印记录: voiding a number, exporting the records.");
    checkLayout<Date_frm>(toolkit, pictures, "修改日期: the computer's date by hand or from the web.");
    checkLayout<MB_frm>(toolkit, pictures, "The template list at start-up.");
    checkLayout<VorraMB_frm>(toolkit, pictures, "添加模板: tutorial, downloads, importing templates.");
}

// Types the same keys into TianxiePJ_frm in both toolkits and returns what the form
// and the fill-in sheet hold afterwards.
struct Outcome {
    std::string payee;
    std::vector<std::vector<std::string>> payeeList;
    std::string amount;
    std::vector<std::string> cells;
    bool operator==(const Outcome&) const = default;
};

Outcome typedHeadless() {
    headless::HeadlessToolkit toolkit;
    AddinHost host(toolkit);
    auto form = FormInstance<TianxiePJ_frm>::show(toolkit);
    headless::UserActions user;
    user.type(*form, "ComboBox1", "sz");
    user.type(*form, "TextBox1", "1234.5");
    return {form->ComboBox1.text(), form->ComboBox1.list(), form->TextBox1.text(), host.fillInCells()};
}

Outcome typedInQt() {
    QtToolkit toolkit;
    AddinHost host(toolkit);
    auto form = FormInstance<TianxiePJ_frm>::show(toolkit);
    FormWindow* window = toolkit.existingWindow(*form);
    QTest::keyClicks(window->controlWidget("ComboBox1"), "sz");
    QTest::keyClicks(window->controlWidget("TextBox1"), "1234.5");
    QApplication::processEvents();
    saveScreenshot(*window, "TianxiePJ_frm-typed.png");
    return {form->ComboBox1.text(), form->ComboBox1.list(), form->TextBox1.text(), host.fillInCells()};
}

TEST(AddinForms, TypingIntoTheFillInFormHasTheEffectsOfHeadlessTyping) {
    Outcome headless = typedHeadless();
    Outcome qt = typedInQt();
    EXPECT_FALSE(headless.payeeList.empty());
    EXPECT_EQ(headless.amount, "1234.5");
    EXPECT_EQ(qt.payee, headless.payee);
    EXPECT_EQ(qt.payeeList, headless.payeeList);
    EXPECT_EQ(qt.amount, headless.amount);
    EXPECT_EQ(qt.cells, headless.cells);
}

}  // namespace
}  // namespace vorra::desktop
