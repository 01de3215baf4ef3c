// The folders the path macros stand for, as this system names them.
#pragma once

struct ViewState;

// Fills the desktop, documents, pictures, program files and program folders of `view`:
// the user's XDG folders, the folder of the running executable (symbolic links resolved,
// so the image plug-ins beside it are found) and that folder's parent. Needs the
// application object. Each folder ends with "/", or is empty when this system has none.
void ReadUserFolders(ViewState &view);
