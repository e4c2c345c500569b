#pragma once
// The current theme and the one theme nexus that switches it by name and tells every themed
// window and control (the theme clients) about changes; the table of the themes the user can
// choose from.
//
// The nexus is a process object of the application: made on first use with the "Default"
// theme, destroyed with the application (releasing its theme). ActiveToolbarTheme never
// answers without a theme while the application exists.
//
// Main thread only.

#include <span>
#include <string>

#include "controls/toolbar/themed/thmlisteners.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmtheme.h"

namespace themed {

// --- the table of themes ----------------------------------------------------------------------

// One theme the user can choose: its registered name and its class.
struct TThmThemeEntry {
    const wchar_t* Name;
    std::unique_ptr<TThmTheme> (*Create)(const std::wstring& name);
};

// The themes of this layer, in the order of the list the user sees: "Default" only. A table
// of more themes starts with this entry.
std::span<const TThmThemeEntry> BuiltInThemes();
// Registers the entries in table order; an entry whose name is registered already (the nexus
// registers the built-in table when it starts without a "Default") is left as it is. This is
// the one place the theme list is filled: no theme registers itself.
void RegisterThemeTable(std::span<const TThmThemeEntry> table);

// --- theme clients ----------------------------------------------------------------------------

// A themed window or control that follows the theme: it registers with RegisterThemeClient for
// its whole life (its destructor unregisters it in any case).
class TThmThemeClient {
public:
    TThmThemeClient() = default;
    virtual ~TThmThemeClient();
    TThmThemeClient(const TThmThemeClient&) = delete;
    TThmThemeClient& operator=(const TThmThemeClient&) = delete;

    // change: tnBeginChange begins an update, tnRebuildColors tells that colours changed,
    // tnEndChange ends the update (re-lay out and repaint), tnAppActivated and
    // tnAppDeactivated follow the application's activation. themeSwitched: the theme itself
    // was switched (a switch sends the first three in order); false for a system change the
    // nexus passes on.
    virtual void HandleThemeChange(int change, bool themeSwitched) = 0;
};

// Adds a client unless it is registered already.
void RegisterThemeClient(TThmThemeClient* client);
// Removes a client; nothing once the nexus has gone.
void UnregisterThemeClient(TThmThemeClient* client);

// --- the nexus --------------------------------------------------------------------------------

class TThmNexus : public TThmNoticeListener {
public:
    // Acquires "Default" (registering the built-in table first when no "Default" is
    // registered) and listens to the theme manager.
    TThmNexus();
    ~TThmNexus() override;
    TThmNexus(const TThmNexus&) = delete;
    TThmNexus& operator=(const TThmNexus&) = delete;

    TThmTheme& Theme() const { return *FTheme; }
    // An unregistered name changes nothing, tells nobody and answers false. Otherwise the
    // named theme is acquired before the current one is released, so that a theme that fails
    // to construct leaves the current one in place (the exception goes to the caller and no
    // client hears of it); then every client gets tnBeginChange, tnRebuildColors and
    // tnEndChange as a switch. Naming the theme in use keeps its instance and rebuilds its
    // colours.
    bool SetTheme(const std::wstring& name);

    // Passes the manager's notice on to every client (not as a switch).
    void HandleThemeNotice(int notice) override;

    void RegisterClient(TThmThemeClient* client);
    void UnregisterClient(TThmThemeClient* client);
    int ClientCount() const { return FClients.Count(); }

private:
    void Broadcast(int change, bool themeSwitched);
    TThmTheme* FTheme = nullptr;
    TThmListenerList<TThmThemeClient> FClients;
};

// The nexus (made on first use). Raises EInvalidOperation without an application object.
TThmNexus& ThemeNexus();
// The theme in use.
TThmTheme& ActiveToolbarTheme();
// ThemeNexus().SetTheme(name).
bool SelectTheme(const std::wstring& name);
// The registered spelling of the name of the theme in use.
std::wstring GetActiveToolbarThemeName();

}  // namespace themed
