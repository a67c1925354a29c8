#include "addin/templates/MB_frm.h"

#include "addin/frame/Public_XlApp.h"
#include "addin/frame/Shell.h"
#include "addin/templates/TemplateFiles.h"
#include "addin/templates/TemplateTexts.h"

namespace vorra {

using host::resume;

MB_frm::MB_frm() : Form("MB_frm", dialogs::FormKind::WindowForm) {
    // A small window in twips: the hint above the list of workbooks.
    setWidth(5400);
    setHeight(4200);
    Label1.setCaption(texts::kListLabel);
    Label1.move(240, 180, 4920, 360);
    List1.move(240, 600, 4920, 3360);
    onInitialize = [this] { Form_Load(); };
    List1.onClick = [this] { List1_Click(); };
}

void MB_frm::Form_Load() {
    resume([&] { toolkit().setTopmost(*this); });
    resume([&] {
        dialogs::PixelSize size = toolkit().clientSizePixels(*this);
        toolkit().setWindowRegion(*this, {0, 0, size.width, size.height, 20, 20});
    });
    resume([&] {
        for (const std::string& name : ordinaryFiles(addinFolder()))
            if (isWorkbookFileName(name)) List1.addItem(name);
    });
}

// A workbook that cannot be opened (gone since the list was made, or unreadable) is
// reported; the host keeps running either way.
void MB_frm::List1_Click() {
    std::string name = List1.text();
    unload();
    std::string path = addinFolder() + name;
    if (auto failure = host::errorOf([&] { XlApp->openWorkbook(path); }))
        showMessage(texts::msgOpenFailed(path, *failure), dialogs::MsgBoxIcon::Critical,
                    texts::kTitleOpenFailed);
}

}  // namespace vorra
