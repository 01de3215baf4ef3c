// The program's commands: ids, menu texts, status-bar prompts, tool tips, keys, icons.
#pragma once

#include <QObject>

#include <map>

class QAction;

// Command ids as the menus, the tool bar and the accelerators know them.
enum CommandId : int {
    ID_ERROR_CHECK = 32771,
    ID_INSERT_FONT = 32772,
    ID_INSERT_IMAGE = 32773,
    ID_INSERT_COLOR = 32774,
    ID_ADJUST = 32777,
    ID_QUICK_REF = 32779,
    ID_RELOAD = 32781,
    ID_INSERT_CALL = 32782,
    ID_CLIP_IMAGE = 32785,
    ID_LIVE_PREVIEW = 32786,
    ID_MERGE_DATA = 32790,
    ID_MERGE_NONE = 32791,
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_FINDER = 57668,
    ID_HELP = 57670,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

// One QAction per command, owned by the table. Menu texts carry their key after a tab;
// the status-bar prompt is the action's status tip and the tool tip its tool tip.
class CommandTable : public QObject {
    Q_OBJECT
public:
    explicit CommandTable(QObject *parent = nullptr);
    Q_DISABLE_COPY(CommandTable)

    QAction *action(CommandId id) const;

private:
    std::map<int, QAction *> m_actions;
};
