// The Qt toolkit renders a form's state as widgets and turns input in the widgets into
// the events the headless toolkit raises for the same user action.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QInputDialog>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "addin/frame/dialogs/Dialogs.h"
#include "platform/desktop/toolkit/ChineseTexts.h"
#include "platform/desktop/toolkit/FormWindow.h"
#include "platform/desktop/toolkit/QtToolkit.h"

namespace vorra::desktop {
namespace {

using namespace vorra::dialogs;

// A form with one control of every kind; its handlers write what they receive to a log.
class SampleForm : public Form {
public:
    explicit SampleForm(FormKind kind = FormKind::UserForm) : Form("Sample_frm", kind) {
        onInitialize = [this] {
            setCaption("填写票据");
            setWidth(300);
            setHeight(150);
            place(Label1, 6, 6, 80, 12);
            Label1.setCaption("收款人：");
            place(TextBox1, 90, 6, 120, 18);
            place(ComboBox1, 90, 30, 120, 18);
            ComboBox1.setList(std::vector<std::string>{"北京银行", "Beta", "beijing"});
            place(CheckBox1, 6, 54, 80, 18);
            CheckBox1.setCaption("简称");
            place(Frame1, 6, 76, 150, 60);
            place(OptionButton1, 4, 4, 60, 16);
            place(OptionButton2, 70, 4, 60, 16);
            place(CommandButton1, 220, 6, 70, 24);
            CommandButton1.setCaption("打印");
            place(ListBox1, 160, 76, 60, 60);
            place(ListView1, 222, 40, 70, 100);
            ListView1.setView(ListViewMode::Report);
            ListView1.addColumn("名称", 40);
            ListView1.addColumn("账号", 30);
            place(Image1, 280, 130, 16, 16);
        };
        TextBox1.onChange = [this] { log.push_back("TextBox1.Change " + TextBox1.text()); };
        TextBox1.onKeyDown = [this](int& code, int shift) {
            log.push_back("TextBox1.KeyDown " + std::to_string(code) + " " + std::to_string(shift));
            if (code == swallowKey) code = 0;
        };
        TextBox1.onKeyUp = [this](int& code, int) { log.push_back("TextBox1.KeyUp " + std::to_string(code)); };
        ComboBox1.onChange = [this] { log.push_back("ComboBox1.Change " + ComboBox1.text()); };
        ComboBox1.onClick = [this] { log.push_back("ComboBox1.Click"); };
        ComboBox1.onKeyDown = [this](int& code, int) { log.push_back("ComboBox1.KeyDown " + std::to_string(code)); };
        ComboBox1.onKeyUp = [this](int& code, int) { log.push_back("ComboBox1.KeyUp " + std::to_string(code)); };
        CheckBox1.onClick = [this] { log.push_back("CheckBox1.Click"); };
        OptionButton1.onChange = [this] { log.push_back("OptionButton1.Change"); };
        OptionButton2.onChange = [this] { log.push_back("OptionButton2.Change"); };
        OptionButton2.onClick = [this] { log.push_back("OptionButton2.Click"); };
        CommandButton1.onClick = [this] {
            log.push_back("CommandButton1.Click");
            if (unloadOnClick) unload();
        };
        Label1.onClick = [this] { log.push_back("Label1.Click"); };
        Image1.onClick = [this] { log.push_back("Image1.Click"); };
        ListBox1.onDragDrop = [this](const std::vector<std::string>& files) {
            for (const auto& f : files) log.push_back("ListBox1.OLEDragDrop " + f);
        };
        ListBox1.onClick = [this] { log.push_back("ListBox1.Click " + ListBox1.text()); };
        ListBox1.onDblClick = [this] { log.push_back("ListBox1.DblClick"); };
        ListView1.onItemClick = [this](int i) { log.push_back("ListView1.ItemClick " + std::to_string(i)); };
        ListView1.onClick = [this] { log.push_back("ListView1.Click"); };
        onQueryClose = [this](int& cancel, CloseMode mode) {
            log.push_back("QueryClose " + std::to_string(static_cast<int>(mode)));
            cancel = keepOpen ? 1 : 0;
        };
        onMouseDown = [this](int button, int, double, double) {
            log.push_back("MouseDown " + std::to_string(button));
            if (dragOnPress) toolkit().dragByBody(*this);
        };
    }

    Label Label1{*this, "Label1"};
    TextBox TextBox1{*this, "TextBox1"};
    ComboBox ComboBox1{*this, "ComboBox1"};
    CheckBox CheckBox1{*this, "CheckBox1"};
    OptionButton OptionButton1{*this, "OptionButton1", "Frame1"};
    OptionButton OptionButton2{*this, "OptionButton2", "Frame1"};
    Frame Frame1{*this, "Frame1"};
    CommandButton CommandButton1{*this, "CommandButton1"};
    ListBox ListBox1{*this, "ListBox1"};
    ListView ListView1{*this, "ListView1"};
    Image Image1{*this, "Image1"};

    std::vector<std::string> log;
    int swallowKey = -1;
    bool keepOpen = false;
    bool unloadOnClick = false;
    bool dragOnPress = false;

private:
    static void place(Control& c, double left, double top, double width, double height) {
        c.setLeft(left);
        c.setTop(top);
        c.setWidth(width);
        c.setHeight(height);
    }
};

class QtToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_shared<SampleForm>();
        form->load(toolkit);
    }
    void TearDown() override {
        if (form->loaded()) {
            form->keepOpen = false;
            form->unload();
        }
        QApplication::processEvents();
    }
    FormWindow* shown() {
        form->show();
        FormWindow* w = toolkit.existingWindow(*form);
        EXPECT_NE(w, nullptr);
        return w;
    }
    template <class W>
    W* widget(const char* name) {
        return qobject_cast<W*>(toolkit.existingWindow(*form)->controlWidget(name));
    }

    QtToolkit toolkit;
    std::shared_ptr<SampleForm> form;
};

// ---- Rendering the state ------------------------------------------------------------------

TEST_F(QtToolkitTest, ShowWithoutArgumentsOpensAModelessWindowWithTheCaptionAndControls) {
    FormWindow* w = shown();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowModality(), Qt::NonModal);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("填写票据"));
    EXPECT_EQ(widget<QLabel>("Label1")->text(), QStringLiteral("收款人："));
    EXPECT_EQ(widget<QPushButton>("CommandButton1")->text(), QStringLiteral("打印"));
    EXPECT_EQ(widget<QCheckBox>("CheckBox1")->text(), QStringLiteral("简称"));
    EXPECT_EQ(widget<QComboBox>("ComboBox1")->count(), 3);
    EXPECT_EQ(widget<QComboBox>("ComboBox1")->itemText(0), QStringLiteral("北京银行"));
}

TEST_F(QtToolkitTest, UserFormGeometryIsInPointsAndWindowFormGeometryInTwips) {
    FormWindow* w = shown();
    EXPECT_EQ(w->size(), QSize(400, 200));  // 300 × 150 points
    EXPECT_EQ(widget<QLineEdit>("TextBox1")->geometry(), QRect(120, 8, 160, 24));
    // Controls of a frame sit in the frame's widget, placed relative to it.
    auto* option = widget<QRadioButton>("OptionButton2");
    EXPECT_EQ(option->parentWidget(), widget<QGroupBox>("Frame1"));
    EXPECT_EQ(option->pos(), QPoint(93, 5));

    auto windowForm = std::make_shared<SampleForm>(FormKind::WindowForm);
    windowForm->load(toolkit);
    windowForm->setWidth(6000);
    windowForm->setHeight(3000);
    windowForm->show();
    EXPECT_EQ(toolkit.existingWindow(*windowForm)->size(), QSize(400, 200));
    windowForm->unload();

    // A user form whose own size comes in twips.
    form->setWidth(9720);
    EXPECT_EQ(w->width(), 648);
}

TEST_F(QtToolkitTest, ChangesMadeByCodeReachTheWidgets) {
    shown();
    form->TextBox1.setText("123.45");
    form->CommandButton1.setEnabled(false);
    form->Label1.setVisible(false);
    form->Label1.setForeColor(color::kRed);
    form->ListView1.addItem("甲公司");
    form->ListView1.setSubItem(0, 1, "6222");
    form->ListBox1.addItem("a.xls");
    form->setCaption("打印票据");

    EXPECT_EQ(widget<QLineEdit>("TextBox1")->text(), QStringLiteral("123.45"));
    EXPECT_FALSE(widget<QPushButton>("CommandButton1")->isEnabled());
    EXPECT_TRUE(widget<QLabel>("Label1")->isHidden());
    EXPECT_EQ(widget<QLabel>("Label1")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    auto* list = widget<QTreeWidget>("ListView1");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("6222"));
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("名称"));
    EXPECT_EQ(widget<QListWidget>("ListBox1")->item(0)->text(), QStringLiteral("a.xls"));
    EXPECT_EQ(toolkit.existingWindow(*form)->windowTitle(), QStringLiteral("打印票据"));
    // Only the code's own change raised an event; rendering it raised none.
    EXPECT_EQ(form->log, std::vector<std::string>{"TextBox1.Change 123.45"});
}

// ---- Typing -----------------------------------------------------------------------------------

TEST_F(QtToolkitTest, TypingIntoATextBoxRaisesKeyDownChangeKeyUpPerCharacter) {
    shown();
    QTest::keyClicks(widget<QLineEdit>("TextBox1"), "a1");
    EXPECT_EQ(form->TextBox1.text(), "a1");
    EXPECT_EQ(form->log, (std::vector<std::string>{
                             "TextBox1.KeyDown 65 0", "TextBox1.Change a", "TextBox1.KeyUp 65",
                             "TextBox1.KeyDown 49 0", "TextBox1.Change a1", "TextBox1.KeyUp 49"}));
    EXPECT_TRUE(form->TextBox1.hasFocus());
}

TEST_F(QtToolkitTest, TheTabKeyFollowsTheControlsTabIndexes) {
    auto fresh = std::make_shared<SampleForm>();
    fresh->load(toolkit);
    fresh->ComboBox1.setTabIndex(1);
    fresh->TextBox1.setTabIndex(2);
    fresh->CommandButton1.setTabIndex(3);
    fresh->CheckBox1.setTabIndex(4);
    fresh->show();
    FormWindow* w = toolkit.existingWindow(*fresh);
    // The chain is a ring: walk it once from the box with the lowest index.
    std::vector<std::string> order{"ComboBox1"};
    QWidget* start = w->controlWidget("ComboBox1");
    for (QWidget* next = start->nextInFocusChain(); next && next != start; next = next->nextInFocusChain())
        for (const char* name : {"TextBox1", "CommandButton1", "CheckBox1"})
            if (next == w->controlWidget(name) &&
                std::find(order.begin(), order.end(), name) == order.end())
                order.push_back(name);
    EXPECT_EQ(order, (std::vector<std::string>{"ComboBox1", "TextBox1", "CommandButton1", "CheckBox1"}));
    fresh->unload();
}

TEST_F(QtToolkitTest, CharactersFromTheInputMethodArriveWithTheProcessKey) {
    shown();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("北"));
    QApplication::sendEvent(widget<QLineEdit>("TextBox1"), &commit);
    QApplication::processEvents();
    EXPECT_EQ(form->log, (std::vector<std::string>{"TextBox1.KeyDown 229 0", "TextBox1.Change 北",
                                                   "TextBox1.KeyUp 229"}));
}

TEST_F(QtToolkitTest, AKeySwallowedByKeyDownLeavesTheTextAlone) {
    shown();
    form->swallowKey = 'X';
    QTest::keyClick(widget<QLineEdit>("TextBox1"), Qt::Key_X, Qt::ShiftModifier);
    QTest::keyClick(widget<QLineEdit>("TextBox1"), Qt::Key_Return);
    EXPECT_EQ(form->TextBox1.text(), "");
    // The Shift key is a key of its own, with its own KeyDown and KeyUp.
    EXPECT_EQ(form->log, (std::vector<std::string>{"TextBox1.KeyDown 16 1", "TextBox1.KeyDown 88 1",
                                                   "TextBox1.KeyUp 88", "TextBox1.KeyUp 16",
                                                   "TextBox1.KeyDown 13 0", "TextBox1.KeyUp 13"}));
}

TEST_F(QtToolkitTest, TypingIntoAComboBoxCompletesToTheFirstMatchingRow) {
    shown();
    auto* combo = widget<QComboBox>("ComboBox1");
    QTest::keyClicks(combo, "b");
    EXPECT_EQ(form->ComboBox1.text(), "Beta");
    EXPECT_EQ(combo->lineEdit()->selectedText(), QStringLiteral("eta"));
    QTest::keyClicks(combo, "ei");
    EXPECT_EQ(form->ComboBox1.text(), "beijing");
    EXPECT_EQ(form->log, (std::vector<std::string>{
                             "ComboBox1.KeyDown 66", "ComboBox1.Change Beta", "ComboBox1.KeyUp 66",
                             "ComboBox1.KeyDown 69", "ComboBox1.KeyUp 69",  // "be" still completes to Beta
                             "ComboBox1.KeyDown 73", "ComboBox1.Change beijing", "ComboBox1.KeyUp 73"}));
    // Backspace takes the completed tail away and does not complete again.
    form->log.clear();
    QTest::keyClick(combo, Qt::Key_Backspace);
    EXPECT_EQ(form->ComboBox1.text(), "bei");
    EXPECT_EQ(form->log, (std::vector<std::string>{"ComboBox1.KeyDown 8", "ComboBox1.Change bei",
                                                   "ComboBox1.KeyUp 8"}));
}

TEST_F(QtToolkitTest, ComboBoxWithoutCompletionKeepsWhatWasTyped) {
    form->ComboBox1.setMatchEntry(MatchEntry::None);
    shown();
    QTest::keyClicks(widget<QComboBox>("ComboBox1"), "b");
    EXPECT_EQ(form->ComboBox1.text(), "b");
    EXPECT_EQ(form->ComboBox1.listIndex(), -1);
}

// ---- Clicks and picks -------------------------------------------------------------------------

TEST_F(QtToolkitTest, PickingAComboBoxRowRaisesChangeThenClick) {
    shown();
    auto* combo = widget<QComboBox>("ComboBox1");
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    EXPECT_EQ(form->ComboBox1.text(), "Beta");
    EXPECT_EQ(form->log, (std::vector<std::string>{"ComboBox1.Change Beta", "ComboBox1.Click"}));
}

TEST_F(QtToolkitTest, CheckBoxesToggleAndOptionButtonsTurnTheOthersOfTheirFrameOff) {
    shown();
    QTest::mouseClick(widget<QPushButton>("CommandButton1"), Qt::LeftButton);
    // A press on the indicator, at the left edge of the box.
    QTest::mouseClick(widget<QCheckBox>("CheckBox1"), Qt::LeftButton, {}, QPoint(6, 10));
    form->OptionButton1.setValue(true);
    form->log.clear();
    QTest::mouseClick(widget<QRadioButton>("OptionButton2"), Qt::LeftButton, {}, QPoint(6, 10));

    EXPECT_TRUE(form->CheckBox1.value());
    EXPECT_TRUE(widget<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_FALSE(form->OptionButton1.value());
    EXPECT_FALSE(widget<QRadioButton>("OptionButton1")->isChecked());
    EXPECT_TRUE(widget<QRadioButton>("OptionButton2")->isChecked());
    EXPECT_EQ(form->log, (std::vector<std::string>{"OptionButton1.Change", "OptionButton2.Change",
                                                   "OptionButton2.Click"}));
}

TEST_F(QtToolkitTest, ClicksOnButtonsRaiseClickAndLabelsDoNotPressTheFormBody) {
    shown();
    QTest::mouseClick(widget<QPushButton>("CommandButton1"), Qt::LeftButton);
    QTest::mouseClick(widget<QLabel>("Label1"), Qt::LeftButton);
    QTest::mouseClick(widget<QLabel>("Image1"), Qt::LeftButton);
    EXPECT_EQ(form->log, (std::vector<std::string>{"CommandButton1.Click", "Label1.Click", "Image1.Click"}));
}

TEST_F(QtToolkitTest, ClickingAListViewRowSelectsItAndRaisesItemClickThenClick) {
    form->ListView1.addItem("甲");
    form->ListView1.addItem("乙");
    shown();
    auto* list = widget<QTreeWidget>("ListView1");
    QRect row = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(form->ListView1.selectedIndex(), 1);
    EXPECT_EQ(form->log, (std::vector<std::string>{"ListView1.ItemClick 1", "ListView1.Click"}));
}

TEST_F(QtToolkitTest, ListsPickOnlyOnTheUsersClickEnterOrDoubleClick) {
    for (const char* t : {"a.xls", "b.xls"}) form->ListBox1.addItem(t);
    form->ListView1.addItem("甲");
    form->ListView1.addItem("乙");
    shown();
    auto* box = widget<QListWidget>("ListBox1");
    auto* view = widget<QTreeWidget>("ListView1");
    // Rows added by code, taking the focus (Qt then makes the first row current) and the
    // arrow keys move the current row; none of that is a pick.
    form->ListBox1.addItem("c.xls");
    for (QWidget* w : {static_cast<QWidget*>(box), static_cast<QWidget*>(view)}) {
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(w, &focusIn);
    }
    EXPECT_EQ(box->currentRow(), 0);
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(form->ListBox1.listIndex(), -1);
    EXPECT_EQ(form->ListView1.selectedIndex(), 0);
    EXPECT_TRUE(form->log.empty());
    // The arrow keys move the list view's selection without an event.
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(form->ListView1.selectedIndex(), 1);
    // Enter picks the current row, a click the clicked one, a double click adds DblClick.
    QTest::keyClick(box, Qt::Key_Return);
    QRect third = box->visualItemRect(box->item(2));
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, third.center());
    QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(form->log, (std::vector<std::string>{"ListBox1.Click b.xls", "ListBox1.Click c.xls",
                                                   "ListBox1.DblClick"}));
}

TEST_F(QtToolkitTest, FilesDroppedOnAListBoxReachItsDragDropWhenItAcceptsDrops) {
    shown();
    auto* viewport = widget<QListWidget>("ListBox1")->viewport();
    auto drop = [&] {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile("/tmp/模板一.xls"), QUrl::fromLocalFile("/tmp/b.xlsx")});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    };
    drop();
    EXPECT_TRUE(form->log.empty());
    form->ListBox1.setAcceptsDrops(true);
    drop();
    EXPECT_EQ(form->log, (std::vector<std::string>{"ListBox1.OLEDragDrop /tmp/模板一.xls",
                                                   "ListBox1.OLEDragDrop /tmp/b.xlsx"}));
}

// ---- Life cycle -----------------------------------------------------------------------------

TEST_F(QtToolkitTest, TheCloseBoxAsksQueryCloseWhichMayKeepTheForm) {
    FormWindow* w = shown();
    form->keepOpen = true;
    w->close();
    EXPECT_TRUE(form->loaded());
    EXPECT_TRUE(w->isVisible());
    form->keepOpen = false;
    w->close();
    EXPECT_FALSE(form->loaded());
    EXPECT_EQ(form->log, (std::vector<std::string>{"QueryClose 0", "QueryClose 0"}));
    EXPECT_EQ(toolkit.existingWindow(*form), nullptr);
}

TEST_F(QtToolkitTest, AFormUnloadingItselfFromItsOwnButtonReleasesItsWindow) {
    FormWindow* raw = shown();
    QPointer<FormWindow> w(raw);
    form->unloadOnClick = true;
    QTest::mouseClick(widget<QPushButton>("CommandButton1"), Qt::LeftButton);
    EXPECT_FALSE(form->loaded());
    EXPECT_FALSE(w->isVisible());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
}

TEST_F(QtToolkitTest, AModalShowReturnsOnceTheFormHides) {
    QTimer::singleShot(0, [&] {
        form->log.push_back("running");
        form->hide();
    });
    form->show(ShowMode::Modal);
    EXPECT_EQ(form->log, std::vector<std::string>{"running"});
    EXPECT_FALSE(toolkit.existingWindow(*form)->isVisible());
}

// ---- Window services ------------------------------------------------------------------------

TEST_F(QtToolkitTest, TopmostAndTheRoundedOutlineApplyToTheFormWindow) {
    toolkit.setTopmost(*form);
    FormWindow* w = shown();
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    PixelSize size = toolkit.clientSizePixels(*form);
    EXPECT_EQ(size.width, 400);
    toolkit.setWindowRegion(*form, {0, 0, size.width, size.height, 20, 20});
    QRegion mask = w->mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(399, 199)));
    EXPECT_TRUE(mask.contains(QPoint(10, 10)));
    EXPECT_TRUE(mask.contains(QPoint(200, 0)));
    EXPECT_TRUE(mask.contains(QPoint(0, 100)));
}

// The form's MouseDown hears the host's button codes: right 2, middle 4, others left.
TEST_F(QtToolkitTest, MouseDownOnTheBodyNamesTheButtonInHostCodes) {
    FormWindow* w = shown();
    QTest::mousePress(w, Qt::RightButton, {}, QPoint(50, 50));
    QTest::mouseRelease(w, Qt::RightButton, {}, QPoint(50, 50));
    QTest::mousePress(w, Qt::MiddleButton, {}, QPoint(50, 50));
    QTest::mouseRelease(w, Qt::MiddleButton, {}, QPoint(50, 50));
    QTest::mousePress(w, Qt::BackButton, {}, QPoint(50, 50));
    QTest::mouseRelease(w, Qt::BackButton, {}, QPoint(50, 50));
    EXPECT_EQ(form->log, (std::vector<std::string>{"MouseDown 2", "MouseDown 4", "MouseDown 1"}));
}

TEST_F(QtToolkitTest, APressOnTheBodyThatStartsADragMovesTheWindowWithTheMouse) {
    FormWindow* w = shown();
    form->dragOnPress = true;
    QPoint start = w->pos();
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(form->log, std::vector<std::string>{"MouseDown 1"});
    if (!w->dragging()) GTEST_SKIP() << "the window system moves the window itself";
    QPoint global = w->mapToGlobal(QPoint(50, 50)) + QPoint(30, 20);
    QMouseEvent move(QEvent::MouseMove, w->mapFromGlobal(global), global, Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    EXPECT_NE(w->pos(), start);
    QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(80, 70));
    EXPECT_FALSE(w->dragging());
}

TEST_F(QtToolkitTest, FilesDroppedOnTheFormBodyReachItsDragDrop) {
    std::vector<std::string> dropped;
    form->onDragDrop = [&](const std::vector<std::string>& files) { dropped = files; };
    form->setAcceptsDrops(true);
    FormWindow* w = shown();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/x.xls")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
    EXPECT_EQ(dropped, std::vector<std::string>{"/tmp/x.xls"});
}

// ---- Asking the user --------------------------------------------------------------------------

// Runs `answer` on the modal dialog once it is open.
template <class Dialog>
void whenOpen(std::function<void(Dialog*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
}

TEST_F(QtToolkitTest, MessageBoxesShowTitleIconAndTextWithTheHostCaptionWhenUntitled) {
    QString title, text, buttons;
    QMessageBox::Icon icon{};
    whenOpen<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->button(QMessageBox::Ok)->text();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(toolkit.msgBox("第一行\r第二行", MsgBoxIcon::Critical, "系统提示："), MsgBoxResult::OK);
    EXPECT_EQ(title, QStringLiteral("系统提示："));
    EXPECT_EQ(text, QStringLiteral("第一行\n第二行"));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QStringLiteral("确定"));

    whenOpen<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        icon = box->icon();
        buttons = box->button(QMessageBox::Yes)->text() + u'/' + box->button(QMessageBox::No)->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(toolkit.msgBox("继续？", MsgBoxIcon::Information, std::nullopt, MsgBoxButtons::YesNo),
              MsgBoxResult::No);
    EXPECT_EQ(title, QStringLiteral("Vorra 表格"));
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(buttons, QStringLiteral("是(&Y)/否(&N)"));
}

TEST_F(QtToolkitTest, TheInputBoxGivesTheTextOrNothingWhenCancelled) {
    whenOpen<QInputDialog>([](QInputDialog* d) {
        EXPECT_EQ(d->labelText(), QStringLiteral("请输入支票号码："));
        EXPECT_EQ(d->okButtonText() + u'/' + d->cancelButtonText(), QStringLiteral("确定/取消"));
        d->setTextValue(QStringLiteral("00012345"));
        d->accept();
    });
    EXPECT_EQ(toolkit.inputText("请输入支票号码：", "系统："), "00012345");
    whenOpen<QInputDialog>([](QInputDialog* d) {
        d->setTextValue(QStringLiteral("typed"));
        d->reject();
    });
    EXPECT_EQ(toolkit.inputText("请输入支票号码："), "");
}

TEST_F(QtToolkitTest, BuiltinDialogsGoToTheInstalledHandler) {
    EXPECT_FALSE(toolkit.builtinDialog(7, "{RIGHT}"));
    std::string keys;
    toolkit.setBuiltinDialogHandler([&](int id, const std::string& k) {
        keys = k;
        return id == 7;
    });
    EXPECT_TRUE(toolkit.builtinDialog(7, "{RIGHT}"));
    EXPECT_EQ(keys, "{RIGHT}");
}

TEST_F(QtToolkitTest, FormsOpenCentredOverTheOwnerWindowAndWhollyOnTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget owner;
    owner.setGeometry(screen.left() + 100, screen.top() + 80, 500, 400);
    owner.show();
    toolkit.setOwner(&owner);
    FormWindow* w = shown();
    EXPECT_LE((w->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 40);
    // Shown again after the user moved it, it stays where it was moved to.
    w->move(screen.left() + 20, screen.top() + 10);
    form->hide();
    form->show();
    EXPECT_EQ(w->pos(), QPoint(screen.left() + 20, screen.top() + 10));

    // Over an owner in the screen's corner, the form is moved onto the screen.
    form->unload();
    owner.move(screen.right() - 150, screen.bottom() - 100);
    form = std::make_shared<SampleForm>();
    form->load(toolkit);
    w = shown();
    EXPECT_TRUE(screen.contains(QRect(w->pos(), w->size())));
    toolkit.setOwner(nullptr);
}

TEST(QtToolkitServices, QtsOwnWindowsSpeakChineseOnceTheTranslationsAreInstalled) {
    ASSERT_TRUE(installChineseTranslations(*qApp));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    EXPECT_FALSE(installChineseTranslations(*qApp, QStringLiteral("/nonexistent")));
}

TEST(QtToolkitServices, TargetsBecomeWebOrFileAddressesAndTheDesktopFolderHasNoTrailingSlash) {
    EXPECT_EQ(urlForTarget("https://example.org/a?b=1"), QUrl("https://example.org/a?b=1"));
    EXPECT_EQ(urlForTarget("/tmp/打印记录.xls"), QUrl::fromLocalFile("/tmp/打印记录.xls"));
    EXPECT_EQ(urlForTarget("www.example.org").scheme(), QStringLiteral("http"));
    QtToolkit toolkit;
    std::string desktop = toolkit.desktopFolder();
    ASSERT_FALSE(desktop.empty());
    EXPECT_NE(desktop.back(), '/');
    EXPECT_FALSE(toolkit.shellOpen("https://example.org", "print"));
    EXPECT_FALSE(toolkit.startProgram(""));
}

}  // namespace
}  // namespace vorra::desktop
