#include "game/form1.h"

#include "game/app_info.h"
#include "settings/frm_option.h"
#include "settings/settings_store.h"
#include "solver/frm_auto_best.h"

#include <algorithm>
#include <ctime>
#include <random>

namespace {

constexpr OleColor kRed = 255;
constexpr int kNoRecord = 99999;

// Seconds since midnight, local time: the generator's one seed.
unsigned secondsSinceMidnight() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local ? static_cast<unsigned>(local->tm_hour * 3600 + local->tm_min * 60 + local->tm_sec)
                 : 0u;
}

// One generator for the whole run, seeded once from the time of day.
board::Random timeOfDayRandom() {
    auto engine = std::make_shared<std::mt19937>(secondsSinceMidnight());
    // 24 random bits scaled by 2^-24 stay strictly below 1, which a float distribution need not.
    return [engine] { return static_cast<float>((*engine)() >> 8) * (1.0f / 16777216.0f); };
}

// A stored record outside floor..99999 was never won (no deal can be won in fewer moves than
// the floor) or is not a move count: it reads as no record.
std::int32_t recordFromStore(std::int32_t stored, std::int32_t floor) {
    return stored >= floor && stored <= kNoRecord ? stored : kNoRecord;
}

struct RecordValue {
    const char* name;
    std::int32_t Form1::*record;
    std::int32_t floor;
};
constexpr RecordValue kRecords[] = {
    {kMinStep33Value, &Form1::MinStep33, kMinStep33Floor},
    {kMinStep44Value, &Form1::MinStep44, kMinStep44Floor},
};

// The best known record: this game's, the store's, and one kept from a save that failed.
std::int32_t bestRecord(std::int32_t mine, const RecordValue& value) {
    std::int32_t best =
        std::min(mine, recordFromStore(GetRegValue(kAppKey, value.name), value.floor));
    if (const auto pending = store::pendingValue(kAppKey, value.name)) {
        best = std::min(best, recordFromStore(*pending, value.floor));
    }
    return best;
}

}  // namespace

namespace {

// The main windows alive, newest last: the store reports a failed write to the newest. A game
// has one; tests make several, and free them in any order.
std::vector<Form1*>& liveWindows() {
    static std::vector<Form1*> windows;
    return windows;
}

}  // namespace

Form1::Form1(Frontend& frontend, board::Random random)
    : WindowRules(frontend), random_(random ? std::move(random) : timeOfDayRandom()) {
    if (liveWindows().empty()) {
        store::setErrorHandler([] { liveWindows().back()->StoreWriteFailed(); });
    }
    liveWindows().push_back(this);
}

Form1::~Form1() {
    auto& windows = liveWindows();
    windows.erase(std::find(windows.begin(), windows.end(), this));
    if (windows.empty()) store::setErrorHandler({});
}

void Form1::StoreWriteFailed() {
    if (endingSession_) {
        frontend_.LogError(kStoreWriteFailed);  // nobody is left to answer a box
        return;
    }
    MsgBox(kStoreWriteFailed, msgbox::kCritical, "错误：");
}

TilePicture& Form1::tile(int gameType, int cell) {
    return gameType == board::kGame44 ? PicG2.at(cell) : PicG1.at(cell);
}

const TilePicture& Form1::tile(int gameType, int cell) const {
    return gameType == board::kGame44 ? PicG2.at(cell) : PicG1.at(cell);
}

void Form1::setTimer1(bool enabled) {
    Timer1Enabled = enabled;
    frontend_.EnableTimer1(enabled);
}

// ---- Start-up, new game and deal ----

void Form1::Form_Load() {
    Caption = kAppTitle;
    for (const RecordValue& value : kRecords) this->*value.record = bestRecord(kNoRecord, value);
    // A record an earlier run could not store goes in now; the player heard of it then.
    storeRecords(true);
    const int boardTop = form1_layout::kPicture1.Top + form1_layout::kPicture1.Height + 50;
    Pic33.Top = boardTop;
    Pic44.Top = boardTop;
    LcdTime.NewLCD(&frontend_.PicTime());
    LcdStep.NewLCD(&frontend_.PicStep());
    GameType = board::kGame33;
    PicType = LoadPicType();
    LcdTime.ForeColor(kRed);
    LcdStep.ForeColor(kRed);
    BlankPicture_ = TilePicture{};  // no surface has a picture before the first draw
    IsPlaying_ = false;
    GameInit();
}

std::int32_t Form1::LoadPicType() {
    // Read as "PTYPE", stored as "PType": the store ignores case, so both are the one value.
    const std::int32_t v = GetRegValue(kAppKey, kPTypeValue);
    // Only 1..4 are ever stored; 0 is "never stored", and anything else is not a choice.
    return v >= 1 && v <= pictures::kLastChoice ? v : pictures::kNumbers;
}

void Form1::GameInit() {
    clearHint();
    LngTime = 0;
    LngStep = 0;
    IsChampion = false;
    IsWon = false;
    DrawTiles(PicType, GameType);
    LcdTime.Caption(std::to_string(LngTime));
    LcdStep.Caption(std::to_string(LngStep));
    mnuAnswer.Enabled = IsPlaying_;
}

void Form1::Command1_Click() {
    GameInit();
    ShuffleTiles(GameType);
}

void Form1::ShuffleTiles(int gameType) {
    const int last = board::lastTile(gameType);
    LngTime = 0;
    LngStep = 0;
    std::vector<TilePicture> tileImage(last + 1);
    for (int i = 0; i <= last; ++i) tileImage[i] = tile(gameType, i);
    TileMap_ = board::deal(gameType, random_);
    for (int cell = 0; cell <= last; ++cell) {
        tile(gameType, cell) = tileImage[TileMap_[cell]];
        if (TileMap_[cell] == last) BlankCell_ = static_cast<std::int16_t>(cell);
    }
    IsPlaying_ = true;
    LngStep = 0;
    setTimer1(true);
    mnuAnswer.Enabled = IsPlaying_;
}

// ---- Pictures cut into tiles ----

void Form1::DrawTiles(std::int32_t& pictureIndex, std::int32_t& gameType) {
    const bool big = gameType == board::kGame44;
    Pic33.Left = big ? kOutOfView : form1_layout::kBoardLeft;
    Pic44.Left = big ? form1_layout::kBoardLeft : kOutOfView;

    const int n = board::side(gameType);
    const int w = frontend_.TileInnerWidth(gameType);
    const int h = frontend_.TileInnerHeight(gameType);
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col) {
            tile(gameType, row * n + col) = TilePicture{pictureIndex, col * w, row * h, w, h};
        }
    }
    tile(gameType, n * n - 1) = BlankPicture_;
}

// ---- Moves, clock, completion ----

void Form1::PicG1_Click(int Index) {
    if (GameType == board::kGame33) TileClick(Index);
}

void Form1::PicG2_Click(int Index) {
    if (GameType == board::kGame44) TileClick(Index);
}

void Form1::TileClick(int Index) {
    ClickedCell = static_cast<std::int16_t>(Index);
    if (!IsPlaying_) return;
    for (const int neighbour : board::neighbours(GameType, ClickedCell)) {
        TargetCell = static_cast<std::int16_t>(neighbour);
        if (TargetCell == BlankCell_) MoveTile(GameType);
    }
    IsWon = board::isComplete(TileMap_, GameType);
    if (IsWon) GameOver();
}

void Form1::MoveTile(int gameType) {
    clearHint();
    tile(gameType, TargetCell) = tile(gameType, ClickedCell);
    TileMap_[TargetCell] = TileMap_[ClickedCell];
    tile(gameType, ClickedCell) = BlankPicture_;
    TileMap_[ClickedCell] = static_cast<std::int16_t>(board::lastTile(gameType));
    BlankCell_ = ClickedCell;
    LngStep = LngStep + 1;
    LcdStep.Caption(std::to_string(LngStep));
}

void Form1::Timer1_Timer() {
    if (!frontend_.IsForeground()) return;  // dropped, never made up
    LngTime = LngTime + 1;
    LcdTime.Caption(std::to_string(LngTime));
}

void Form1::GameOver() {
    IsPlaying_ = false;
    setTimer1(false);
    if (!IsWon) return;
    std::int32_t& record = GameType == board::kGame33 ? MinStep33 : MinStep44;
    if (LngStep < record) {
        record = LngStep;
        IsChampion = true;
        recordSetThisRun_ = true;
    }
    // Stored the moment it is set, before any box: a crash, a kill or a display that goes away
    // before the close loses nothing.
    const bool stored = !IsChampion || storeRecords(false);
    if (IsChampion) {
        MsgBox("真行！你创造了新的纪录", msgbox::kInformation, "");
    } else {
        MsgBox("不错，继续努力，你会做得更好！", msgbox::kInformation, "Congratulation!");
    }
    if (!stored) tellStoreFailed();
}

void Form1::GameReset() {
    GameOver();
    GameInit();
}

// ---- Menus ----

void Form1::mnuGame_Click() {
    mnuReset.Enabled = IsPlaying_;
}

void Form1::mnuStart_Click() {
    Command1_Click();
}

void Form1::mnuReset_Click() {
    if (!IsPlaying_) return;
    const int answer = MsgBox(
        "真不想玩了？", msgbox::kYesNo | msgbox::kQuestion | msgbox::kDefaultButton2, "放弃？");
    if (answer == msgbox::kYes) GameReset();
}

void Form1::mnuHero_Click() {
    openOptions(show_msg::kHallOfFame);
}
void Form1::mnuBG_Click() {
    openOptions(show_msg::kBackdrop);
}
void Form1::mnuAbout_Click() {
    openOptions(show_msg::kAbout);
}

void Form1::openOptions(std::int32_t mode) {
    ShowMsg = mode;  // read by the options window while it loads
    if (!FrmOption_) FrmOption_ = std::make_unique<FrmOption>(*this);
    FrmOption_->Form_Load();
    ShowModal(*FrmOption_);
}

void Form1::mnuExit_Click() {
    frontend_.Unload();
}

void Form1::mnuOption_Click() {
    mnuGameType.Enabled = !IsPlaying_;
    mnuBG.Enabled = !IsPlaying_;
    if (!IsPlaying_) {
        mnuG33.Checked = GameType == board::kGame33;
        mnuG44.Checked = GameType == board::kGame44;
    }
}

void Form1::mnuG33_Click() {
    switchBoard(board::kGame33);
}
void Form1::mnuG44_Click() {
    switchBoard(board::kGame44);
}

void Form1::switchBoard(int gameType) {
    clearHint();
    if (gameType == board::kGame44) frontend_.PrepareHints();
    mnuG33.Checked = gameType == board::kGame33;
    mnuG44.Checked = gameType == board::kGame44;
    GameType = gameType;
    if (gameType == board::kGame33 && PicType == pictures::kNumbers44) PicType = pictures::kNumbers;
    if (gameType == board::kGame44 && PicType == pictures::kNumbers) PicType = pictures::kNumbers44;
    DrawTiles(PicType, GameType);
}

void Form1::mnuAnswer_Click() {
    // A finished 4 x 4 game leaves 16 entries behind even after a switch to 3 x 3; that board
    // is not the solver's to judge.
    if (GameType != board::kGame33 || TileMap_.size() != 9) {
        MsgBox("4X4模式下暂不支持此功能！", msgbox::kInformation, kAppTitle);
        return;
    }
    const std::string s = board::toBoardState(TileMap_);
    if (s == "123456870") {
        MsgBox("问题无解！", msgbox::kInformation, kAppTitle);
        return;
    }
    if (!frmAutoBest_) frmAutoBest_ = std::make_unique<frmAutoBest>(*this);
    frmAutoBest_->STATE = s;
    frmAutoBest_->Form_Load();
    ShowModal(*frmAutoBest_);
}

void Form1::MnuOstrelle1_Click() {
    OpenAddress(kMakerSoftPage);
}

// ---- Keys and hints ----

void Form1::Form_KeyDown(int KeyCode) {
    if (waitingOnPlayer()) return;  // the box or modal window has the keys
    if (KeyCode == keys::kH) {
        showHint();
        return;
    }
    if (!IsPlaying_) return;  // as a click outside a game
    // The tile that slides into the blank comes from the side the arrow points away from.
    const int n = board::side(GameType);
    const int row = BlankCell_ / n;
    const int col = BlankCell_ % n;
    int cell = -1;
    switch (KeyCode) {
        case keys::kLeft:
            cell = col < n - 1 ? BlankCell_ + 1 : -1;
            break;
        case keys::kRight:
            cell = col > 0 ? BlankCell_ - 1 : -1;
            break;
        case keys::kUp:
            cell = row < n - 1 ? BlankCell_ + n : -1;
            break;
        case keys::kDown:
            cell = row > 0 ? BlankCell_ - n : -1;
            break;
        default:
            return;
    }
    if (cell < 0) return;
    if (GameType == board::kGame44) {
        PicG2_Click(cell);
    } else {
        PicG1_Click(cell);
    }
}

namespace {

// The solver's numbering: 0 for the blank, tile t counted from 1.
optimal::Position solverPosition(const board::Map& tileMap, int gameType) {
    const int blank = board::lastTile(gameType);
    optimal::Position position;
    for (const std::int16_t t : tileMap) position.push_back(t == blank ? 0 : t + 1);
    return position;
}

}  // namespace

void Form1::showHint() {
    if (!IsPlaying_) return;
    if (hintCell_ >= 0 || hintCancel_) return;  // marked already, or the answer is on its way
    const optimal::Position position = solverPosition(TileMap_, GameType);
    if (!optimal::isSolvable(position)) {
        MsgBox("问题无解！", msgbox::kInformation, kAppTitle);
        return;
    }
    hintCancel_ = std::make_shared<std::atomic<bool>>(false);
    const unsigned search = ++hintSearch_;
    frontend_.SearchHint(position, hintCancel_,
                         [this, search, position](const optimal::Answer& answer) {
                             hintFound(search, position, answer);
                         });
}

void Form1::hintFound(unsigned search, const optimal::Position& position,
                      const optimal::Answer& answer) {
    if (search != hintSearch_ || !hintCancel_) return;  // the board has changed since
    hintCancel_.reset();
    if (answer.outcome != optimal::Outcome::kSolved || answer.tiles.empty()) return;
    const auto at = std::find(position.begin(), position.end(), answer.tiles.front());
    if (at != position.end()) hintCell_ = static_cast<int>(at - position.begin());
}

void Form1::clearHint() {
    hintCell_ = -1;
    if (hintCancel_) hintCancel_->store(true);
    hintCancel_.reset();
}

// ---- Closing ----

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (!recordSetThisRun_) return;
    if (!storeRecords(false)) tellStoreFailed();
}

bool Form1::storeRecords(bool onlyPending) {
    bool failed = false;
    for (const RecordValue& value : kRecords) {
        const bool pending = store::pendingValue(kAppKey, value.name).has_value();
        if (onlyPending && !pending) continue;
        // Another game on this machine may have stored a better record since this one started:
        // keep the lower of the two, so storing never overwrites it.
        const std::int32_t best = bestRecord(this->*value.record, value);
        // After one failure the store is held up or refusing: waiting on it again would only
        // freeze the window longer.
        if (!failed && store::save(kAppKey, value.name, best)) {
            if (pending) store::forgetPending(kAppKey, value.name, best);
            continue;
        }
        failed = true;
        if (best < kNoRecord) store::keepPending(kAppKey, value.name, best);
    }
    if (!failed) toldStoreFailed_ = false;
    return !failed;
}

void Form1::tellStoreFailed() {
    // Once for records that wait for the store, however often storing them fails again.
    if (toldStoreFailed_) return;
    toldStoreFailed_ = true;
    StoreWriteFailed();
}

void Form1::EndSession() {
    endingSession_ = true;
    Form_Unload();
}

// ---- Layout ----

namespace form1_layout {

TwipsRect tileRect(int gameType, int cell) {
    static constexpr int k33[3] = {0, 1080, 2160};
    static constexpr int k44[4] = {0, 815, 1627, 2435};
    if (gameType == board::kGame44) return {k44[cell % 4], k44[cell / 4], 825, 825};
    return {k33[cell % 3], k33[cell / 3], 1100, 1100};
}

const std::array<MenuItem, 17> kMenuBar{{
    {1, 0, "游戏", &Form1::mnuGame, &Form1::mnuGame_Click, false},
    {2, 1, "开局(&N)", &Form1::mnuStart, &Form1::mnuStart_Click, false},
    {3, 1, "结束(&E)", &Form1::mnuReset, &Form1::mnuReset_Click, false},
    {4, 1, "-", &Form1::mnuSep6, nullptr, false},
    {5, 1, "英雄榜(&S)", &Form1::mnuHero, &Form1::mnuHero_Click, false},
    {6, 1, "-", &Form1::mnuSep, nullptr, false},
    {7, 1, "退出游戏(&X)", &Form1::mnuExit, &Form1::mnuExit_Click, false},
    {8, 0, "选项", &Form1::mnuOption, &Form1::mnuOption_Click, false},
    {9, 8, "难度(&L)", &Form1::mnuGameType, nullptr, false},
    {10, 9, "3 X 3", &Form1::mnuG33, &Form1::mnuG33_Click, true},
    {11, 9, "4 X 4", &Form1::mnuG44, &Form1::mnuG44_Click, true},
    {12, 8, "背景(&P)...", &Form1::mnuBG, &Form1::mnuBG_Click, false},
    {13, 0, "&帮助", &Form1::mnuHelp, nullptr, false},
    {14, 13, "自动求解", &Form1::mnuAnswer, &Form1::mnuAnswer_Click, false},
    {15, 13, "-", &Form1::mnuSep2, nullptr, false},
    {16, 13, "关于(&A)", &Form1::mnuAbout, &Form1::mnuAbout_Click, false},
    {17, 0, "好东东！", &Form1::MnuOstrelle1, &Form1::MnuOstrelle1_Click, false},
}};

bool hasEntries(int id) {
    for (const MenuItem& item : kMenuBar)
        if (item.parent == id) return true;
    return false;
}

}  // namespace form1_layout

// ---- Tile surfaces ----

std::vector<int> TileSurfaces::changed(const Form1& form, int gameType) {
    const bool big = gameType == board::kGame44;
    const int count = big ? 16 : 9;
    std::vector<int> cells;
    for (int cell = 0; cell < count; ++cell) {
        std::optional<Shown>& shown = big ? shown44_[cell] : shown33_[cell];
        const Shown want{form.tile(gameType, cell), form.hinted(gameType, cell)};
        if (shown == want) continue;
        shown = want;
        cells.push_back(cell);
    }
    return cells;
}

void TileSurfaces::forget() {
    shown33_ = {};
    shown44_ = {};
}

// ---- The hint's mark ----

void drawHintMark(DrawingSurface& surface) {
    constexpr OleColor kDark = 0x202020;
    constexpr OleColor kYellow = 0x00E6FF;  // 0x00BBGGRR
    constexpr int kOutline = 1;
    constexpr int kBand = 4;
    const int right = surface.innerWidth() - 1;
    const int bottom = surface.innerHeight() - 1;
    // Four strips of width `w` at inset `inset` from each edge.
    auto frame = [&](int inset, int w, OleColor colour) {
        surface.setForeColor(colour);
        surface.box(inset, inset, right - inset, inset + w - 1);
        surface.box(inset, bottom - inset - w + 1, right - inset, bottom - inset);
        surface.box(inset, inset, inset + w - 1, bottom - inset);
        surface.box(right - inset - w + 1, inset, right - inset, bottom - inset);
    };
    frame(0, kOutline + kBand + kOutline, kDark);
    frame(kOutline, kBand, kYellow);
}
