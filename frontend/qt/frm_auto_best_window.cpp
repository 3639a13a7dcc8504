#include "frontend/qt/frm_auto_best_window.h"

#include "frontend/qt/form1_window.h"
#include "frontend/qt/page_view.h"
#include "frontend/qt/site_pages.h"
#include "frontend/qt/twips.h"
#include "solver/frm_auto_best.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

using namespace frm_auto_best_layout;

QPushButton* button(QWidget* parent, const char* caption, const TwipsRect& at) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setGeometry(twips::toRect(at));
    return b;
}

}  // namespace

FrmAutoBestWindow::FrmAutoBestWindow(frmAutoBest& core, Form1Window& main)
    : QDialog(&main), core_(core), main_(main) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(twips::toPx(kClientWidth), twips::toPx(kClientHeight));

    WebBrowser1 = new PageView(this);
    WebBrowser1->setGeometry(twips::toRect(kWebBrowser1));
    WebBrowser1->setRenderer([this, &main](const QString& address) {
        return site_pages::render(address,
                                  [this, &main](const maker_site::Page& page) -> const QImage& {
                                      return main.ImageList1().ListImage(core_.pagePicture(page));
                                  });
    });
    CmdDo = button(this, kCmdDoCaption, kCmdDo);
    connect(CmdDo, &QPushButton::clicked, this,
            [this] { main_.forward([this] { core_.CmdDo_Click(); }); });
    txtResult = new QLineEdit(this);
    txtResult->setGeometry(twips::toRect(kTxtResult));
    txtResult->setReadOnly(true);
    CmdPrior = button(this, kCmdPriorCaption, kCmdPrior);
    connect(CmdPrior, &QPushButton::clicked, this,
            [this] { main_.forward([this] { core_.CmdPrior_Click(); }); });
    CmdNext = button(this, kCmdNextCaption, kCmdNext);
    connect(CmdNext, &QPushButton::clicked, this,
            [this] { main_.forward([this] { core_.CmdNext_Click(); }); });
    core_.onUnload = [this] { accept(); };
    sync();
}

FrmAutoBestWindow::~FrmAutoBestWindow() {
    core_.onUnload = nullptr;
}

void FrmAutoBestWindow::sync() {
    setWindowTitle(qt_front::qs(core_.Caption));
    if (WebBrowser1->LocationURL() != qt_front::qs(core_.WebBrowser1.LocationURL))
        WebBrowser1->Navigate(qt_front::qs(core_.WebBrowser1.LocationURL));
    if (txtResult->text() != qt_front::qs(core_.txtResult))
        txtResult->setText(qt_front::qs(core_.txtResult));
    CmdDo->setEnabled(core_.CmdDo.Enabled);
    CmdPrior->setEnabled(core_.CmdPrior.Enabled);
    CmdNext->setEnabled(core_.CmdNext.Enabled);
}
