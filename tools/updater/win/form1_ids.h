// Control ids of KESTROM's main window (the chooser lists use the shell's ids).
#pragma once

namespace updater {

enum : int {
    kIdLabel1 = 2001,
    kIdLabel2 = 2002,
    kIdLabel3 = 2003,
    kIdLabel4 = 2004,
    kIdLabel5 = 2005,
    kIdText1 = 2011,
    kIdText2 = 2012,
    kIdText3 = 2013,
    kIdText4 = 2014,
    kIdCommand1 = 2021,
};

} // namespace updater
