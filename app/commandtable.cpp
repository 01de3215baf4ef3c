// The command table: every menu, tool bar and accelerator command in one list.
#include "commandtable.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>

namespace {

struct CommandText {
    CommandId id;
    const char *menuText; // with "&" mnemonic and "\t" key text
    const char *prompt;   // status-bar prompt "\n" tool tip
    const char *icon;     // tool bar icon under :/zentova/icons/, or nullptr
    const char *keys;     // further keys, "; " separated
};

const CommandText kCommands[] = {
    {ID_FILE_NEW, "新規作成(&N)\tCtrl+N", "新規にﾌｧｲﾙを作成\n新規ﾌｧｲﾙ", nullptr,
     "Ctrl+N"},
    {ID_FILE_OPEN, "開く(&O)...\tCtrl+O", "既存のﾌｧｲﾙを開く\n開く", "open", "Ctrl+O"},
    {ID_RELOAD, "再読込(&L)\tF2", "現在開いているﾌｧｲﾙを読み直す\n再読込", "reload",
     "F2"},
    {ID_FILE_SAVE, "上書き保存(&S)\tCtrl+S", "作業中のﾌｧｲﾙを上書きして保存\n上書き保存", "save",
     "Ctrl+S"},
    {ID_FILE_SAVE_AS, "名前を付けて保存(&A)...",
     "作業中のﾌｧｲﾙを新しい名前で保存\n名前を付けて保存", nullptr, ""},
    {ID_FILE_PRINT, "印刷(&P)...\tCtrl+P", "作業中のﾌｧｲﾙを印刷\n印刷", "print",
     "Ctrl+P"},
    {ID_FILE_PRINT_PREVIEW, "印刷ﾌﾟﾚﾋﾞｭｰ(&V)", "ﾌﾙ ﾍﾟｰｼﾞ表示\n印刷ﾌﾟﾚﾋﾞｭｰ", "preview",
     ""},
    {ID_FILE_PRINT_SETUP, "ﾌﾟﾘﾝﾀの設定(&R)...",
     "ﾌﾟﾘﾝﾀおよびﾌﾟﾘﾝﾀ接続の設定を変更\n印刷設定", "printsetup", ""},
    {ID_ADJUST, "印字位置微調整(&J)", "ﾌﾟﾘﾝﾀの印字位置微調整\n印字位置微調整", nullptr,
     ""},
    {ID_MERGE_DATA, "差し込みデータ(&D)...",
     "1 行ごとに文書を 1 部ずつ印刷するﾃﾞｰﾀ ﾌｧｲﾙ (CSV) を選択\n差し込みデータ", nullptr, ""},
    {ID_MERGE_NONE, "差し込みなし(&M)", "差し込み印刷をやめる\n差し込みなし", nullptr, ""},
    {ID_FILE_MRU_FILE1, "最近使ったﾌｧｲﾙ", "指定のﾌｧｲﾙを開く", nullptr, ""},
    {ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示\n終了",
     nullptr, ""},
    {ID_INSERT_COLOR, "色選択ｺﾏﾝﾄﾞ(&R)\tF3", "色を選択してｺﾏﾝﾄﾞを挿入\n色選択ｺﾏﾝﾄﾞ", "color",
     "F3"},
    {ID_INSERT_FONT, "ﾌｫﾝﾄ選択ｺﾏﾝﾄﾞ(&F)\tF4", "ﾌｫﾝﾄを選択してｺﾏﾝﾄﾞを挿入\nﾌｫﾝﾄ選択ｺﾏﾝﾄﾞ",
     "font", "F4"},
    {ID_INSERT_IMAGE, "画像選択ｺﾏﾝﾄﾞ(&I)\tF5", "画像を選択してｺﾏﾝﾄﾞを挿入\n画像選択ｺﾏﾝﾄﾞ",
     "image", "F5"},
    {ID_INSERT_CALL, "呼出ﾌｧｲﾙ選択ｺﾏﾝﾄﾞ(&N)\tF6",
     "呼出ﾌｧｲﾙを選択してｺﾏﾝﾄﾞを挿入\n呼出ﾌｧｲﾙ選択ｺﾏﾝﾄﾞ", "call", "F6"},
    {ID_EDIT_UNDO, "元に戻す(&U)\tCtrl+Z", "直前に行った動作を元に戻す\n元に戻す", nullptr,
     "Ctrl+Z; Alt+Backspace"},
    {ID_EDIT_CUT, "切り取り(&T)\tCtrl+X", "選択範囲を切り取ってｸﾘｯﾌﾟﾎﾞｰﾄﾞに移動\n切り取り",
     "cut", "Ctrl+X; Shift+Del"},
    {ID_EDIT_COPY, "ｺﾋﾟｰ(&C)\tCtrl+C", "選択範囲をｺﾋﾟｰしてｸﾘｯﾌﾟﾎﾞｰﾄﾞに保存\nｺﾋﾟｰ", "copy",
     "Ctrl+C; Ctrl+Ins"},
    {ID_EDIT_PASTE, "貼り付け(&P)\tCtrl+V", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容を貼り付け\n貼り付け", "paste",
     "Ctrl+V; Shift+Ins"},
    {ID_CLIP_IMAGE, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ ｲﾒｰｼﾞ操作(&C)",
     "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ ｲﾒｰｼの取り込みとﾞ操作\nｸﾘｯﾌﾟﾎﾞｰﾄﾞ ｲﾒｰｼﾞ操作", "clipimage", ""},
    {ID_ERROR_CHECK, "ｴﾗｰ確認(&E)", "ﾌﾟﾚﾋﾞｭｰ、印刷時のｴﾗｰを確認\nｴﾗｰを確認", "errorcheck",
     ""},
    {ID_QUICK_REF, "ｺﾏﾝﾄﾞ早見表(&R)",
     "ｺﾏﾝﾄﾞ早見表の表示/非表示\nｺﾏﾝﾄﾞ早見表の表示切り替え", "quickref", ""},
    {ID_LIVE_PREVIEW, "ﾗｲﾌﾞ ﾌﾟﾚﾋﾞｭｰ(&L)\tF7",
     "編集中のﾍﾟｰｼﾞをｴﾃﾞｨﾀの横に表示/非表示\nﾗｲﾌﾞ ﾌﾟﾚﾋﾞｭｰの表示切り替え", nullptr, "F7"},
    {ID_VIEW_TOOLBAR, "ﾂｰﾙ ﾊﾞｰ(&T)", "ﾂｰﾙ ﾊﾞｰの表示/非表示\nﾂｰﾙ ﾊﾞｰの表示切り替え", nullptr,
     ""},
    {ID_VIEW_STATUS_BAR, "ｽﾃｰﾀｽ ﾊﾞｰ(&S)",
     "ｽﾃｰﾀｽ ﾊﾞｰの表示/非表示\nｽﾃｰﾀｽ ﾊﾞｰの表示切り替え", nullptr, ""},
    {ID_HELP, "ﾍﾙﾌﾟ表示(&H)\tF1", "ﾍﾙﾌﾟを表示\nﾍﾙﾌﾟ表示", "help", "F1"},
    {ID_HELP_FINDER, "ﾍﾙﾌﾟ ﾄﾋﾟｯｸ", "ﾍﾙﾌﾟ ﾄﾋﾟｯｸの一覧を表示\nﾍﾙﾌﾟ ﾄﾋﾟｯｸ", nullptr,
     "Shift+F1"},
    {ID_APP_ABOUT, "Zentova のﾊﾞｰｼﾞｮﾝ情報(&A)...",
     "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示\nﾊﾞｰｼﾞｮﾝ情報", nullptr, ""},
};

} // namespace

CommandTable::CommandTable(QObject *parent) : QObject(parent)
{
    for (const CommandText &c : kCommands) {
        auto *action = new QAction(QString::fromUtf8(c.menuText), this);
        const QString prompt = QString::fromUtf8(c.prompt);
        const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
        action->setStatusTip(newline < 0 ? prompt : prompt.left(newline));
        if (newline >= 0)
            action->setToolTip(prompt.mid(newline + 1));
        if (c.icon)
            action->setIcon(QIcon(QStringLiteral(":/zentova/icons/%1.png")
                                      .arg(QString::fromLatin1(c.icon))));
        if (*c.keys)
            action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(c.keys)));
        action->setData(static_cast<int>(c.id));
        m_actions.emplace(c.id, action);
    }
}

QAction *CommandTable::action(CommandId id) const
{
    return m_actions.at(id);
}
