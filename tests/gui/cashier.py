#!/usr/bin/python3
"""The desktop as a cashier uses it, end to end, under a virtual X display.

Run by run-cashier-test.sh inside cups-sandbox.sh (a CUPS server of its own whose
default printer is a cups-pdf queue), with a window manager and the accessibility bus.
It installs the Debian package, starts Quorlaunch from it as a new user, waits for the
welcome window, the spreadsheet window and the template list, opens the sample
template, fills in a transfer cheque through the forms with real key and mouse events
(xdotool), prints it, and checks the PDF the queue wrote (bill-check: the paper, every
field within 0.5 mm). Then the queue rejects jobs (cupsreject): the next print must be
reported as failed and not recorded. Last the queue is calibrated (File → 打印偏移与校准…:
offsets of +1.5 mm and -0.7 mm, and its calibration page), and the next print must land
moved by exactly those offsets. A picture of the screen is kept after each step.

Controls are found in the accessibility tree (AT-SPI) by role and caption, an entry as
the one beside its label, so that the test follows the forms wherever they are laid out.

    cashier.py --deb PACKAGE --bill-check PROGRAM --out FOLDER
"""

import argparse
import os
import signal
import subprocess
import time

import pyatspi

QUEUE = os.environ["VORRA_TEST_QUEUE"]
BILL_CHECK = None  # the bill-check program, from the command line
PDF_DIR = os.environ["VORRA_TEST_PDF_DIR"]

# The bill, from the sample template's books: units found by their pinyin initials,
# the purpose by its text.
PAYEE = ("wxhg", "无锡华光电子厂", 2)
PAYER = ("hzxh", "杭州西湖茶叶公司", 3)
PURPOSE = ("差", "差旅费")
AMOUNT = "8765.43"
NUMBER = "00054321"
PASSWORD = "6543210987654321"
SHEET = "转账支票"


class Failed(Exception):
    pass


class Steps:
    def __init__(self, out):
        self.out = out
        self.count = 0
        self.started = time.monotonic()

    def done(self, name):
        self.count += 1
        path = os.path.join(self.out, "%02d-%s.png" % (self.count, name))
        subprocess.run(["scrot", "--overwrite", path], check=False)
        print("[%5.1f s] %s" % (time.monotonic() - self.started, name), flush=True)


steps = None


def fail(message):
    steps.done("failed")
    raise Failed(message)


# ---- The accessibility tree ---------------------------------------------------------------

def top_windows():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is None:
            continue
        for j in range(app.childCount):
            w = app.getChildAtIndex(j)
            if w is not None:
                yield w


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def walk(node):
    """The node and its descendants; a sheet's grid is not entered (thousands of cells)."""
    stack = [node]
    while stack:
        n = stack.pop()
        if n is None:
            continue
        yield n
        if n.getRole() != pyatspi.ROLE_TABLE:
            stack.extend(n.getChildAtIndex(i) for i in range(n.childCount))


def plain(text):
    return (text or "").replace(" ", "")


def wait_for(what, probe, timeout=20):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:
            found = None
        if found:
            return found
        time.sleep(0.2)
    fail("timed out waiting for " + what)


def window(title, timeout=20):
    return wait_for("the window " + title,
                    lambda: next((w for w in top_windows() if title in (w.name or "") and showing(w)), None), timeout)


def showing_nodes(root, role):
    return [n for n in walk(root) if n.getRole() == role and showing(n) and extents(n)[2] > 0]


def control(root, role, name, timeout=10):
    return wait_for("\"%s\" in \"%s\"" % (name, root.name),
                    lambda: next((n for n in showing_nodes(root, role) if plain(n.name) == plain(name)), None),
                    timeout)


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def entry_beside(form, label):
    """The text entry to the right of a label, nearest to its line."""
    lx, ly, lw, lh = extents(control(form, pyatspi.ROLE_LABEL, label))
    best = None
    for entry in showing_nodes(form, pyatspi.ROLE_TEXT):
        x, y, w, h = extents(entry)
        if x < lx + lw - 2:
            continue
        distance = abs((y + h / 2) - (ly + lh / 2)) * 4 + (x - (lx + lw))
        if best is None or distance < best[0]:
            best = (distance, entry)
    if best is None:
        fail("no entry beside \"%s\" in \"%s\"" % (label, form.name))
    return best[1]


def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except Exception:
        return ""


def status_bar(main):
    bar = next(n for n in walk(main) if n.getRole() == pyatspi.ROLE_STATUS_BAR)
    return " ".join(t for t in [bar.name or ""] + [text_of(n) or n.name or "" for n in walk(bar)] if t)


def cell(main, row, column):
    """The shown text of a cell of the grid (1-based)."""
    grid = next(n for n in walk(main) if n.getRole() == pyatspi.ROLE_TABLE)
    found = grid.queryTable().getAccessibleAt(row - 1, column - 1)
    return found.name if found is not None else ""


# ---- Real input through the X server --------------------------------------------------------

def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True)


def click(node):
    x, y, w, h = extents(node)
    xdotool("mousemove", "--sync", x + w // 2, y + h // 2)
    time.sleep(0.15)
    xdotool("click", "1")
    time.sleep(0.4)


def type_text(text):
    # A character outside the keyboard map goes through a key xdotool remaps for it; the
    # next one only after the program has seen the new map.
    for part in ([text] if text.isascii() else list(text)):
        xdotool("type", "--delay", 80, part)
        if not part.isascii():
            time.sleep(0.4)
    # A key of its own after the text, so that the forms' key-up searches run on the
    # whole text whatever became of the typed characters' releases.
    xdotool("key", "End")
    time.sleep(0.5)


def type_into(entry, text):
    """Clicks an entry and types the text, again when the X server lost characters on
    the way (it types characters outside the keyboard map through keys it remaps)."""
    for _ in range(3):
        click(entry)
        key("ctrl+a", "BackSpace")
        type_text(text)
        if text_of(entry) == text:
            return
    fail("typing \"%s\" gave \"%s\"" % (text, text_of(entry)))


def key(*names):
    for name in names:
        xdotool("key", name)
        time.sleep(0.3)


# ---- The cashier's steps ----------------------------------------------------------------------

def pick_unit(form, option, unit):
    initials, name, _ = unit
    click(control(form, pyatspi.ROLE_CHECK_BOX, option))
    type_into(entry_beside(form, "请输入用户名："), initials)
    click(control(form, pyatspi.ROLE_TABLE_CELL, name))


def fill_in(main):
    click(control(main, pyatspi.ROLE_PUSH_BUTTON, "填写票据"))
    units = window("填写收、付款人信息：")
    pick_unit(units, "输入收款人：", PAYEE)
    pick_unit(units, "输入付款人：", PAYER)
    steps.done("payee-and-payer")
    click(control(units, pyatspi.ROLE_PUSH_BUTTON, "金额◆用途"))

    amounts = window("填写金额、用途：")
    type_into(entry_beside(amounts, "请输入付款用途："), PURPOSE[0])
    click(control(amounts, pyatspi.ROLE_TABLE_CELL, PURPOSE[1]))
    for label, text in (("请输入金额：", AMOUNT), ("请输入转账支票号码：", NUMBER), ("请输入支付密码：", PASSWORD)):
        type_into(entry_beside(amounts, label), text)
    click(control(amounts, pyatspi.ROLE_PUSH_BUTTON, "输  入"))
    steps.done("amount-and-purpose")
    key("alt+F4")
    wait_for("the amount form to close", lambda: not any("填写金额、用途" in (w.name or "") and showing(w)
                                                         for w in top_windows()))
    # The fill-in cells of 常用单位账号 hold the bill.
    wait_for("the payee in E4", lambda: cell(main, 4, 5) == PAYEE[1])
    wait_for("the purpose in K5", lambda: cell(main, 5, 11) == PURPOSE[1])


def print_bill(main):
    click(control(main, pyatspi.ROLE_PUSH_BUTTON, "打印票据"))
    form = window("打印票据：")
    combo = showing_nodes(form, pyatspi.ROLE_COMBO_BOX)[0]
    click(next(n for n in showing_nodes(combo, pyatspi.ROLE_TEXT)))
    # The arrow keys step through the sheets the box offers.
    for _ in range(20):
        if plain(combo.name) == SHEET:
            break
        key("Down")
    if plain(combo.name) != SHEET:
        fail("the print form does not offer " + SHEET)
    steps.done("print-form")
    click(control(form, pyatspi.ROLE_PUSH_BUTTON, "打  印"))


def answer_number_if_asked():
    """The first cheque ever printed asks for its number."""
    deadline = time.monotonic() + 5
    while time.monotonic() < deadline:
        for w in top_windows():
            if showing(w) and any("支票号码" in (n.name or "") for n in walk(w)
                                  if n.getRole() == pyatspi.ROLE_LABEL):
                type_into(showing_nodes(w, pyatspi.ROLE_TEXT)[0], NUMBER)
                steps.done("cheque-number")
                key("Return")
                return
        time.sleep(0.2)


def records(main):
    """The print records' rows as shown on 打印记录: texts of columns A, M and N from row 3."""
    click(control(main, pyatspi.ROLE_PAGE_TAB, "打印记录"))
    time.sleep(0.5)
    rows = []
    for row in range(3, 10):
        serial = cell(main, row, 1)
        if not serial:
            break
        rows.append((serial, cell(main, row, 13), cell(main, row, 14)))
    click(control(main, pyatspi.ROLE_PAGE_TAB, "常用单位账号"))
    return rows


def spin_beside(form, label):
    """The spin box to the right of a label, nearest to its line."""
    lx, ly, lw, lh = extents(control(form, pyatspi.ROLE_LABEL, label))
    boxes = [n for n in showing_nodes(form, pyatspi.ROLE_SPIN_BUTTON) if extents(n)[0] >= lx + lw - 2]
    if not boxes:
        fail("no spin box beside \"%s\" in \"%s\"" % (label, form.name))
    return min(boxes, key=lambda n: abs(extents(n)[1] + extents(n)[3] / 2 - (ly + lh / 2)))


def calibrate(main, dx, dy):
    """Sets the current printer's offsets through the File menu, with the bill sheet in
    front, and prints the calibration page of its paper on the way."""
    click(control(main, pyatspi.ROLE_PAGE_TAB, SHEET))
    time.sleep(0.5)
    dialog = open_offsets(main)
    chosen = showing_nodes(dialog, pyatspi.ROLE_COMBO_BOX)
    if not chosen or plain(chosen[0].name) != SHEET:
        fail("the offsets dialog does not start on the sheet in front: %s" % [n.name for n in chosen])
    for label, value in (("横向偏移(毫米)：", dx), ("纵向偏移(毫米)：", dy)):
        box = spin_beside(dialog, label)
        for _ in range(3):
            click(box)
            key("ctrl+a", "BackSpace")
            xdotool("type", "--delay", 80, "--", "%.1f" % value)
            time.sleep(0.3)
            if abs(box.queryValue().currentValue - value) < 0.01:
                break
        else:
            fail("the offset beside %s did not take %.1f" % (label, value))
    # The page goes out with the offsets in force so far: none.
    check_calibration_page(dialog, 0, 0)
    steps.done("calibration")
    close_offsets(dialog, "确定")


def open_offsets(main):
    click(wait_for("the File menu", lambda: next(
        (n for n in walk(main) if n.getRole() in (pyatspi.ROLE_MENU, pyatspi.ROLE_MENU_ITEM) and showing(n)
         and plain(n.name) == "文件(F)"), None)))
    click(wait_for("the offsets item", lambda: next(
        (n for w in top_windows() for n in walk(w)
         if n.getRole() == pyatspi.ROLE_MENU_ITEM and showing(n) and plain(n.name).startswith("打印偏移与校准")), None)))
    return window("打印偏移")


def close_offsets(dialog, button):
    click(control(dialog, pyatspi.ROLE_PUSH_BUTTON, button))
    wait_for("the offsets dialog to close", lambda: not any(
        (w.name or "") == "打印偏移" and showing(w) for w in top_windows()))


def check_calibration_page(dialog, dx, dy):
    """Prints the calibration page from the offsets dialog; its crosses must lie in the
    queue's PDF moved by the offsets."""
    before = len(pdfs())
    click(control(dialog, pyatspi.ROLE_PUSH_BUTTON, "打印校准页"))
    wait_for("the calibration page", lambda: len(pdfs()) > before, timeout=30)
    time.sleep(0.5)
    check = subprocess.run([BILL_CHECK, "--calibration-page", newest_pdf(), str(dx), str(dy)],
                           capture_output=True, text=True)
    print(check.stdout, end="", flush=True)
    if check.returncode != 0:
        fail("the calibration page's crosses are not where its offsets put them:\n" + check.stdout + check.stderr)


def newest_pdf():
    return os.path.join(PDF_DIR, max(pdfs(), key=lambda f: os.path.getmtime(os.path.join(PDF_DIR, f))))


def pdfs():
    return sorted(f for f in os.listdir(PDF_DIR) if f.endswith(".pdf") and not f.endswith(".expected.pdf"))


def run(args):
    launcher = subprocess.Popen(["/usr/bin/Quorlaunch"])
    window("【Excel支票Quorvan】")
    steps.done("welcome")
    main = window("Vorra 表格", timeout=30)
    desktop_pid = main.getApplication().get_process_id()
    try:
        steps.done("desktop")
        if launcher.wait(timeout=20) != 0:
            fail("Quorlaunch ended with an error")

        # The template list, or the sample template already open from it.
        def opened():
            return "示例模板.xlsx" in (window("Vorra 表格").name or "")

        listed = wait_for("the template list", lambda: opened() or next(
            (w for w in top_windows() if showing(w) and any(plain(n.name) == "示例模板.xlsx" for n in walk(w)
                                                            if n.getRole() in (pyatspi.ROLE_LIST_ITEM,
                                                                               pyatspi.ROLE_TABLE_CELL))), None))
        steps.done("template-list")
        if listed is not True:
            item = next(n for n in walk(listed) if plain(n.name) == "示例模板.xlsx")
            click(item)
            if not opened():
                key("Return")
        wait_for("the sample template to open", opened)
        main = window("示例模板.xlsx")
        if QUEUE not in status_bar(main):
            fail("the desktop did not start on the system's default printer: " + status_bar(main))
        steps.done("sample-template")

        fill_in(main)
        print_bill(main)
        answer_number_if_asked()
        wait_for("the status bar to report the print", lambda: "作业" in status_bar(main), timeout=30)
        status = status_bar(main)
        steps.done("printed")
        if QUEUE not in status:
            fail("the status bar does not name the printer: " + status)
        written = wait_for("the queue's PDF", lambda: pdfs(), timeout=30)
        if len(written) != 1:
            fail("the queue wrote %d files" % len(written))
        time.sleep(0.5)
        check = subprocess.run([args.bill_check, os.path.join(PDF_DIR, written[0]), str(PAYEE[2]), str(PAYER[2]),
                                AMOUNT, PURPOSE[1], NUMBER, PASSWORD], capture_output=True, text=True)
        print(check.stdout, end="", flush=True)
        if check.returncode != 0:
            fail("the printed cheque is not where the form wants it:\n" + check.stdout + check.stderr)
        recorded = records(main)
        if [r[1] for r in recorded] != [SHEET]:
            fail("expected one record of %s, found %s" % (SHEET, recorded))
        steps.done("recorded")

        # The queue refuses: the print is reported, not numbered, not recorded.
        subprocess.run(["cupsreject", QUEUE], check=True)
        print_bill(main)
        message = wait_for("the failure message", lambda: next(
            (n for w in top_windows() if showing(w) for n in walk(w)
             if n.getRole() == pyatspi.ROLE_LABEL and "打印失败" in (n.name or "")), None))
        steps.done("refused")
        if "没有登记" not in message.name:
            fail("the failure message does not say the print was not recorded: " + message.name)
        key("Return")
        time.sleep(0.5)
        if "没有打印" not in status_bar(main):
            fail("the status bar does not report the failed print: " + status_bar(main))
        if len(pdfs()) != 1:
            fail("the rejecting queue wrote a file")
        recorded = records(main)
        if len(recorded) != 1:
            fail("the refused print was recorded: %s" % (recorded,))
        steps.done("not-recorded")
        subprocess.run(["cupsaccept", QUEUE], check=True)

        # Calibrated: the same bill lands moved by the queue's offsets.
        calibrate(main, 1.5, -0.7)
        before = len(pdfs())
        print_bill(main)
        written = wait_for("the calibrated print", lambda: pdfs() if len(pdfs()) > before else None, timeout=30)
        time.sleep(0.5)
        check = subprocess.run([args.bill_check, newest_pdf(), str(PAYEE[2]), str(PAYER[2]),
                                AMOUNT, PURPOSE[1], NUMBER, PASSWORD, "1.5", "-0.7"], capture_output=True, text=True)
        print(check.stdout, end="", flush=True)
        if check.returncode != 0:
            fail("the calibrated cheque is not moved by the offsets:\n" + check.stdout + check.stderr)
        steps.done("calibrated")
        # The calibration page now checks the calibration: its crosses moved alike.
        dialog = open_offsets(main)
        check_calibration_page(dialog, 1.5, -0.7)
        close_offsets(dialog, "取消")
        steps.done("calibration-checked")
    finally:
        try:
            os.kill(desktop_pid, signal.SIGTERM)
        except ProcessLookupError:
            pass


def main():
    global steps
    parser = argparse.ArgumentParser()
    parser.add_argument("--deb", required=True)
    parser.add_argument("--bill-check", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    global BILL_CHECK
    BILL_CHECK = args.bill_check
    steps = Steps(args.out)
    subprocess.run(["dpkg", "-i", args.deb], check=True, stdout=subprocess.DEVNULL)
    steps.done("installed")
    try:
        run(args)
    except Failed as e:
        print("FAILED: %s" % e, flush=True)
        return 1
    print("passed in %.0f s" % (time.monotonic() - steps.started), flush=True)
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
