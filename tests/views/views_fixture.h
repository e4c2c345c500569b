// Shared fixture of the registry view tests: a scratch key, a form with a key tree and its
// connected value list, and printing a view into a memory bitmap.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/form.h"
#include "registry/reg_fixture.h"
#include "views/reglistview.h"
#include "views/regtreeview.h"

class ViewsTest : public RegTest {
protected:
    ViewsTest() {
        Form->SetBounds(10, 10, 700, 400);
        Tree = new views::TVxRegTreeView(Form.get());
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 250, 360);
        List = new views::TVxRegListView(Form.get());
        List->SetParent(Form.get());
        List->SetBounds(250, 0, 440, 360);
        Tree->SetConnectListView(List);
        Tree->HandleNeeded();
        List->HandleNeeded();
    }

    // The full path of the scratch key (or a key below it).
    std::wstring Full(const std::wstring& sub = L"") const { return L"HKEY_CURRENT_USER\\" + P(sub); }
    // The full path of the selected key; "-" without one.
    std::wstring SelectedPath() {
        auto key = Tree->GetSelectedKey();
        return key ? key->FFullPath : L"-";
    }
    // The client area of a view as it prints itself.
    static std::unique_ptr<testsupport::MemoryDib> Print(gridtree::TBaseGridTree& View) {
        auto dib = std::make_unique<testsupport::MemoryDib>(View.ClientWidth(), View.ClientHeight(), RGB(1, 2, 3));
        SendMessageW(View.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib->DC), PRF_CLIENT);
        return dib;
    }
    // The texts of every row of the list: name, data, type.
    std::vector<std::vector<std::wstring>> Rows() {
        std::vector<std::vector<std::wstring>> rows;
        for (gridtree::PGridNode n = List->GetFirstChild(nullptr); n; n = List->GetNextSibling(n))
            rows.push_back({List->Text(n, 0), List->Text(n, 1), List->Text(n, 2)});
        return rows;
    }

    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    views::TVxRegTreeView* Tree = nullptr;
    views::TVxRegListView* List = nullptr;
};
