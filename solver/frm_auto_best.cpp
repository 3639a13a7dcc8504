#include "solver/frm_auto_best.h"

#include "game/app_info.h"
#include "game/form1.h"
#include "platform/msgbox.h"
#include "platform/page_view.h"
#include "platform/twips.h"
#include "solver/maker_site.h"
#include "solver/site_pages.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

QString appTitle() {
    return QString::fromUtf8(kAppTitle);
}

}  // namespace

frmAutoBest::frmAutoBest(Form1& main) : QDialog(&main), main_(main) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(twips::toPx(6495), twips::toPx(5235));

    WebBrowser1 = new PageView(this);
    WebBrowser1->setGeometry(twips::toRect(0, 0, 6495, 4695));
    WebBrowser1->setRenderer([this](const QString& address) {
        return site_pages::render(address, [this](int picture) -> const QImage& {
            return main_.ImageList1().ListImage(picture);
        });
    });
    CmdDo = new QPushButton(QStringLiteral("自动求解"), this);
    CmdDo->setGeometry(twips::toRect(120, 4800, 1095, 375));
    connect(CmdDo, &QPushButton::clicked, this, [this] { CmdDo_Click(); });
    txtResult = new QLineEdit(this);
    txtResult->setGeometry(twips::toRect(1560, 4800, 2655, 375));
    txtResult->setReadOnly(true);
    CmdPrior = new QPushButton(QStringLiteral("上一步"), this);
    CmdPrior->setGeometry(twips::toRect(4320, 4800, 975, 375));
    connect(CmdPrior, &QPushButton::clicked, this, [this] { CmdPrior_Click(); });
    CmdNext = new QPushButton(QStringLiteral("下一步"), this);
    CmdNext->setGeometry(twips::toRect(5400, 4800, 975, 375));
    connect(CmdNext, &QPushButton::clicked, this, [this] { CmdNext_Click(); });

    solver_.OnFinished = [] {
        MsgBox(QStringLiteral("自动求解完成！"), msgbox::kInformation, appTitle());
    };
}

void frmAutoBest::Form_Load() {
    setWindowTitle(QStringLiteral("显示最优移动法"));
    solver_.Reset(STATE);
    CurStep_ = 0;
    txtResult->clear();
    CmdDo->setEnabled(true);
    CmdPrior->setEnabled(false);
    CmdNext->setEnabled(false);
    WebBrowser1->Navigate(QString::fromStdString(maker_site::loadAddress(STATE)));
}

int frmAutoBest::lastStep() const {
    return static_cast<int>(solver_.AnswerPath.size()) - 1;
}

void frmAutoBest::CmdDo_Click() {
    const QString prompt =
        QStringLiteral(
            "自动求解过程要占用计算机CPU资源进行大量运算，你的其它操作可能因此变得很慢。") +
        "\r\n" + QStringLiteral("视问题的难易不同可能会持续几分钟几十分钟，确定真要进行自动解吗？");
    const int style = msgbox::kYesNo | msgbox::kQuestion | msgbox::kDefaultButton2;
    if (MsgBox(prompt, style, appTitle()) != msgbox::kYes) return;
    if (solver_.FindAnswer()) {
        CurStep_ = 0;
        WebBrowser1->Navigate(QString::fromStdString(
            maker_site::stepAddress(0, solver_.MapList[0].Map, main_.PicType)));
        txtResult->setText(QString("共%1步，第%2步").arg(lastStep()).arg(CurStep_));
        CmdNext->setEnabled(lastStep() > 0);
    } else {
        WebBrowser1->Navigate(QString::fromStdString(maker_site::noSolutionAddress()));
        MsgBox(QStringLiteral("问题无解！"), msgbox::kInformation, appTitle());
    }
    CmdDo->setEnabled(false);  // one search per opening
}

void frmAutoBest::CmdNext_Click() {
    if (CurStep_ >= lastStep()) return;
    ++CurStep_;
    showStep();
}

void frmAutoBest::CmdPrior_Click() {
    if (CurStep_ <= 0) return;
    --CurStep_;
    showStep();
}

void frmAutoBest::showStep() {
    const int n = lastStep();
    const std::string& position = solver_.MapList[solver_.AnswerPath[n - CurStep_]].Map;
    WebBrowser1->Navigate(
        QString::fromStdString(maker_site::stepAddress(CurStep_, position, main_.PicType)));
    txtResult->setText(QString("共%1步，第%2步").arg(n).arg(CurStep_));
    CmdNext->setEnabled(CurStep_ < n);
    CmdPrior->setEnabled(CurStep_ > 0);
}
