// The process-wide setup the application object owns: OLE, the common controls, the
// timer resolution and the window classes every part of the program shares.
//
// TApplication holds one TProcessSetup as its first member, so the setup is done before
// anything else of the application and undone after everything else. Setup objects nest:
// the first one alive does the steps, later ones only count, and the last one to go undoes
// them in reverse order; so OLE is initialised once however many application objects a
// process (a test program, say) makes one after another.
// Nothing else in the program initialises OLE on the main thread or changes the timer
// resolution. Main thread only.
#pragma once

#include <string>
#include <vector>

namespace classlib {

class TProcessSetup {
public:
    TProcessSetup();
    ~TProcessSetup();
    TProcessSetup(const TProcessSetup&) = delete;
    TProcessSetup& operator=(const TProcessSetup&) = delete;

    // True while the setup is in force and OLE initialised successfully.
    static bool OleInitialized();
    // The steps done and undone since the process began, in order: "+name" for a step
    // done, "-name" for one undone (for diagnosis and tests). The application adds its own
    // process-wide objects (screen, utility window) through Note.
    static const std::vector<std::wstring>& Journal();
    static void Note(const std::wstring& entry);
};

}  // namespace classlib
