#pragma once
// A shell list window for tests: rows that follow the controller's calls, with a selection and
// focus that move with their rows as the real control's do.
#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "components/shell/ShellListController.h"
#include "tests/components/shell/ShellDragFake.h"

namespace ql::test {

class FakeShellListView : public shellctl::ShellListView, public FakeShellDragPort {
public:
    struct Row {
        bool selected = false;
    };
    std::vector<Row> rows;
    int focused = -1;
    std::vector<shellctl::ListColumn> columns;
    int sortMarkColumn = -2;
    bool sortMarkAscending = false;
    bool editing = false;
    int editedIndex = -1;
    bool focus = true;
    int timerDelay = 0;  // 0: stopped
    int inserts = 0, deletes = 0, clears = 0;
    std::vector<std::string> errors;
    int menuAnswer = 0;
    int itemAtPoint = -1;
    int highlight = -1;

    void BeginUpdate() override {}
    void EndUpdate() override {}
    void ClearItems() override
    {
        rows.clear();
        focused = -1;
        ++clears;
    }
    void InsertItem(int index) override
    {
        rows.insert(rows.begin() + index, Row{});
        if (focused >= index)
            ++focused;
        ++inserts;
    }
    void DeleteItem(int index) override
    {
        rows.erase(rows.begin() + index);
        if (focused == index)
            focused = -1;
        else if (focused > index)
            --focused;
        ++deletes;
    }
    std::vector<int> updated;
    void UpdateItem(int index) override { updated.push_back(index); }
    void ReorderItems(const std::vector<int>& newIndexOf) override
    {
        std::vector<Row> moved(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            moved[static_cast<std::size_t>(newIndexOf[i])] = rows[i];
        rows = moved;
        if (focused >= 0)
            focused = newIndexOf[static_cast<std::size_t>(focused)];
    }
    std::vector<int> SelectedIndices() const override
    {
        std::vector<int> out;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].selected)
                out.push_back(static_cast<int>(i));
        return out;
    }
    int FocusedIndex() const override { return focused; }
    void SetFocusedIndex(int index) override { focused = index; }
    void SelectAllItems() override
    {
        for (Row& r : rows)
            r.selected = true;
    }
    void SetColumns(const std::vector<shellctl::ListColumn>& c) override { columns = c; }
    std::vector<int> ColumnWidths() const override
    {
        std::vector<int> w;
        for (const auto& c : columns)
            w.push_back(c.width);
        return w;
    }
    void ShowSortMark(int column, bool ascending) override
    {
        sortMarkColumn = column;
        sortMarkAscending = ascending;
    }
    bool IsEditingLabel() const override { return editing; }
    void EditLabel(int index) override
    {
        editing = true;
        editedIndex = index;
    }
    bool HasFocus() const override { return focus; }
    void SetBusy(bool) override {}
    void StartRefreshTimer(int ms) override { timerDelay = ms; }
    void StopRefreshTimer() override { timerDelay = 0; }
    bool RefreshTimerRunning() const override { return timerDelay != 0; }
    shellctl::TChangeHandlerThread::Poster ChangePoster() override { return {}; }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    std::function<void(const shell::PopupMenu&)> onMenu;  // while the menu is up
    int TrackMenu(const shell::PopupMenu& menu, int, int) override
    {
        if (onMenu)
            onMenu(menu);
        return menuAnswer;
    }
    int ItemAtScreen(com::POINTL) const override { return itemAtPoint; }
    int DropHighlight() const override { return highlight; }
    void SetDropHighlight(int index) override { highlight = index; }
    shellctl::ShellDragPort& DragPort() override { return *this; }

    void Select(int index, bool on = true) { rows.at(static_cast<std::size_t>(index)).selected = on; }
};

}  // namespace ql::test
