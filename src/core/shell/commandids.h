#pragma once

namespace mdk {

// The command ids of the menu, the accelerators and the tool bar. The
// tool-bar glyphs are named after them too.
enum CommandId : int {
    CM_VIEWSUBCATEGORIES = 1,
    CM_FILEOPEN = 100,
    CM_FILENEW = 101,
    CM_MERGE = 103,
    CM_FILESAVE = 104,
    CM_FILESAVEAS = 105,
    CM_PASTEFROM = 106,
    CM_CARDADD = 107,
    CM_CARDSEARCH = 108,
    CM_SHUFFLE = 109,
    CM_FLIP = 110,
    CM_EDIT = 111,
    CM_DELETECARD = 112,
    CM_COPYTOFILE = 113,
    CM_COPYDESTINATION = 114,
    CM_COPY = 115,
    CM_HELP = 116,
    CM_ABOUT = 117,
    CM_PASTE = 119,
    CM_UNDELETE = 120,
    CM_PRINT = 121,
    CM_MOVE = 123,
    CM_CUT = 143,
    CM_EARLIERVERSIONS = 150,
    CM_CONVERT = 432,
    CM_EXIT = 437,
    CM_SAVECATEGORY = 734,
    CM_CLEARCATEGORY = 735,
    CM_FILE1 = 801,
    CM_FILE5 = 805,
    CM_CHANGEFONT = 909,
    CM_NOTEPAD = 910,
    CM_SEARCHAGAIN = 1080,
    CM_MARK = 1100,
    CM_UNMARKALL = 1101,
    CM_JUMP = 1102,
    CM_UNDELETEALL = 1103,
    CM_INFORMATION = 1106,
    CM_REVERT = 1107,
    CM_EDITCATEGORY = 1201,
    CM_DELETECATEGORY = 1202,
    CM_NEWCATEGORY = 1203,
    CM_REVIEW = 1301,
    CM_STATISTICS = 1302,
};

} // namespace mdk
