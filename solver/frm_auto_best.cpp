#include "solver/frm_auto_best.h"

#include "game/app_info.h"
#include "solver/maker_site.h"

namespace {

std::string stepText(int steps, int step) {
    return "共" + std::to_string(steps) + "步，第" + std::to_string(step) + "步";
}

}  // namespace

frmAutoBest::frmAutoBest(Form1& main) : ModalWindow(main.frontend()), main_(main) {
    CmdPrior.Enabled = false;
    CmdNext.Enabled = false;
    solver_.OnFinished = [this] { MsgBox("自动求解完成！", msgbox::kInformation, kAppTitle); };
}

int frmAutoBest::pagePicture(const maker_site::Page& page) const {
    if (page.namesPicture) return page.picture;
    return main_.PicType == pictures::kNumbers44 ? pictures::kNumbers : main_.PicType;
}

void frmAutoBest::Form_Load() {
    Caption = "显示最优移动法";
    solver_.Reset(STATE);
    CurStep_ = 0;
    txtResult.clear();
    CmdDo.Enabled = true;
    CmdPrior.Enabled = false;
    CmdNext.Enabled = false;
    WebBrowser1.Navigate(maker_site::loadAddress(STATE));
}

int frmAutoBest::lastStep() const {
    return static_cast<int>(solver_.AnswerPath.size()) - 1;
}

void frmAutoBest::CmdDo_Click() {
    const std::string prompt =
        std::string("自动求解过程要占用计算机CPU资源进行大量运算，你的其它操作可能因此变得很慢。") +
        "\r\n" + "视问题的难易不同可能会持续几分钟几十分钟，确定真要进行自动解吗？";
    const int style = msgbox::kYesNo | msgbox::kQuestion | msgbox::kDefaultButton2;
    if (MsgBox(prompt, style, kAppTitle) != msgbox::kYes) return;
    if (solver_.FindAnswer()) {
        CurStep_ = 0;
        WebBrowser1.Navigate(maker_site::stepAddress(0, solver_.MapList[0].Map, main_.PicType));
        txtResult = stepText(lastStep(), CurStep_);
        CmdNext.Enabled = lastStep() > 0;
    } else {
        WebBrowser1.Navigate(maker_site::noSolutionAddress());
        MsgBox("问题无解！", msgbox::kInformation, kAppTitle);
    }
    CmdDo.Enabled = false;  // one search per opening
}

// Calls past either end are ignored, so a stray click can never index outside AnswerPath.
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
    WebBrowser1.Navigate(maker_site::stepAddress(CurStep_, position, main_.PicType));
    txtResult = stepText(n, CurStep_);
    CmdNext.Enabled = CurStep_ < n;
    CmdPrior.Enabled = CurStep_ > 0;
}
