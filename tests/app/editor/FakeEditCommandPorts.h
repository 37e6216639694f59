#pragma once
// Recording fakes of the editing commands' ports: each call is logged as a short line, and the
// answers come from public fields.
#include "app/editor/EditCommandPorts.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace ql::test::editcmd {

struct Log {
    std::vector<std::string> lines;
    void Add(std::string line) { lines.push_back(std::move(line)); }
};

struct FakeBrowse : BrowseViewPort {
    Log& log;
    std::map<std::string, bool> enabled;  // queryCommandEnabled answers; missing = failure
    explicit FakeBrowse(Log& l) : log(l) {}
    void ExecDocumentCommand(std::uint32_t command) override { log.Add("browse doc " + std::to_string(command)); }
    void CopySelection() override { log.Add("browse copy"); }
    void SelectAllContent() override { log.Add("browse select all"); }
    void OpenFindDialog() override { log.Add("browse find"); }
    std::optional<bool> QueryCommandEnabled(const std::string& command) override
    {
        auto it = enabled.find(command);
        return it == enabled.end() ? std::nullopt : std::optional<bool>(it->second);
    }
};

struct FakeHtml : HtmlViewPort {
    Log& log;
    bool exists = true, busy = false;
    std::map<std::int32_t, std::int32_t> status;                          // QueryStatus answers (default 3)
    std::map<std::int32_t, std::pair<com::HRESULT, com::Variant>> reads;  // ExecCommand answers
    std::map<std::pair<std::uint32_t, bool>, DocCommandState> docCommands;
    std::string selectionHtml;  // what the selection holds
    bool hasDocument = true;
    std::optional<std::string> background = std::string("#102030");
    bool throwOnExec = false;
    explicit FakeHtml(Log& l) : log(l) {}

    bool Exists() override { return exists; }
    bool Busy() override { return busy; }
    com::HRESULT ExecCommand(std::int32_t command, std::uint32_t option, const com::Variant& in,
                             com::Variant* out) override
    {
        if (throwOnExec)
            throw std::runtime_error("control gone");
        log.Add("exec " + std::to_string(command) + " " + std::to_string(option) +
                (in.IsEmpty() ? "" : " [" + in.ToUtf8() + "]"));
        auto it = reads.find(command);
        if (it == reads.end())
            return com::S_OK;
        if (out)
            *out = it->second.second;
        return it->second.first;
    }
    std::int32_t QueryStatus(std::int32_t command) override
    {
        auto it = status.find(command);
        return it == status.end() ? 3 : it->second;
    }
    DocCommandState QueryDocCommand(std::uint32_t command, bool tableGroup) override
    {
        auto it = docCommands.find({command, tableGroup});
        return it == docCommands.end() ? DocCommandState{} : it->second;
    }
    void Focus() override { log.Add("focus"); }
    bool ReplaceSelectionHtml(const std::function<std::string(const std::string&)>& make) override
    {
        if (!hasDocument)
            return false;
        selectionHtml = make(selectionHtml);
        log.Add("paste " + selectionHtml);
        return true;
    }
    std::optional<std::string> BackgroundColor() override { return background; }
    bool SetBackgroundColor(const std::string& color) override
    {
        log.Add("bgColor " + color);
        return true;
    }
    bool SetBackgroundPicture(const std::string& path) override
    {
        log.Add("background " + path);
        return true;
    }
};

struct FakeText : TextViewPort {
    Log& log;
    bool canUndo = false, hasSelection = false, editable = true;
    std::string text;
    long caret = 0;
    explicit FakeText(Log& l) : log(l) {}
    bool CanUndo() override { return canUndo; }
    void Undo() override { log.Add("text undo"); }
    bool HasSelection() override { return hasSelection; }
    void Cut() override { log.Add("text cut"); }
    void Copy() override { log.Add("text copy"); }
    void Paste() override { log.Add("text paste"); }
    void DeleteSelection() override { log.Add("text delete"); }
    void SelectAll() override { log.Add("text select all"); }
    void ShowFind() override { log.Add("text find"); }
    bool Editable() override { return editable; }
    std::string Text() override { return text; }
    long Caret() override { return caret; }
    void ReplaceText(const std::string& t, long c) override
    {
        text = t;
        caret = c;
        log.Add("text replaced");
    }
};

struct FakePickers : EditCommandDialogs {
    Log& log;
    std::optional<std::uint32_t> color;  // the answer; nullopt cancels
    std::optional<std::string> picture;
    std::vector<std::uint32_t> shownWith;
    explicit FakePickers(Log& l) : log(l) {}
    bool PickColor(std::uint32_t& c) override
    {
        shownWith.push_back(c);
        if (!color)
            return false;
        c = *color;
        return true;
    }
    std::optional<std::string> PickPicture() override { return picture; }
};

}  // namespace ql::test::editcmd
