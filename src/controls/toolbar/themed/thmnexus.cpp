#include "controls/toolbar/themed/thmnexus.h"

#include "classlib/application.h"
#include "classlib/control.h"
#include "classlib/errors.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmnames.h"

namespace themed {

using namespace classlib;

namespace {

constexpr TThmThemeEntry kBuiltInThemes[] = {
    {kThemeDefault, CreateDefaultTheme},
};

// The nexus while it exists: clients that go after it have nothing to leave.
TThmNexus* gNexus = nullptr;

}  // namespace

std::span<const TThmThemeEntry> BuiltInThemes() { return kBuiltInThemes; }

void RegisterThemeTable(std::span<const TThmThemeEntry> table) {
    for (const TThmThemeEntry& entry : table)
        if (!IsToolbarThemeRegistered(entry.Name)) RegisterToolbarTheme(entry.Name, entry.Create);
}

// --- clients ----------------------------------------------------------------------------------

TThmThemeClient::~TThmThemeClient() { UnregisterThemeClient(this); }

void RegisterThemeClient(TThmThemeClient* client) { ThemeNexus().RegisterClient(client); }

void UnregisterThemeClient(TThmThemeClient* client) {
    if (gNexus) gNexus->UnregisterClient(client);
}

// --- nexus ------------------------------------------------------------------------------------

TThmNexus::TThmNexus() {
    if (!IsToolbarThemeRegistered(kThemeDefault)) RegisterThemeTable(BuiltInThemes());
    FTheme = AcquireToolbarTheme(kThemeDefault);
    ThemeManagerAddListener(this);
    gNexus = this;
}

TThmNexus::~TThmNexus() {
    if (gNexus == this) gNexus = nullptr;
    ThemeManagerRemoveListener(this);
    if (FTheme) GuardedCall([this] { ReleaseToolbarTheme(FTheme); });
}

bool TThmNexus::SetTheme(const std::wstring& name) {
    if (!IsToolbarThemeRegistered(name)) return false;
    TThmTheme* next = AcquireToolbarTheme(name);
    TThmTheme* previous = FTheme;
    FTheme = next;
    ReleaseToolbarTheme(previous);
    if (previous == next) next->RebuildColorCache();
    Broadcast(tnBeginChange, true);
    Broadcast(tnRebuildColors, true);
    Broadcast(tnEndChange, true);
    return true;
}

void TThmNexus::HandleThemeNotice(int notice) { Broadcast(notice, false); }

void TThmNexus::RegisterClient(TThmThemeClient* client) {
    if (client && !FClients.Contains(client)) FClients.Add(client);
}

void TThmNexus::UnregisterClient(TThmThemeClient* client) { FClients.Remove(client); }

void TThmNexus::Broadcast(int change, bool themeSwitched) {
    FClients.ForEach([=](TThmThemeClient* client) { client->HandleThemeChange(change, themeSwitched); });
}

TThmNexus& ThemeNexus() {
    if (!Application) throw EInvalidOperation(L"The theme nexus needs the application object");
    return Application->ProcessObject<TThmNexus>();
}

TThmTheme& ActiveToolbarTheme() { return ThemeNexus().Theme(); }

bool SelectTheme(const std::wstring& name) { return ThemeNexus().SetTheme(name); }

std::wstring GetActiveToolbarThemeName() { return ActiveToolbarTheme().Name; }

}  // namespace themed
