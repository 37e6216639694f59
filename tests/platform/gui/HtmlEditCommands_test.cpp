#include "platform/gui/HtmlEditCommands.h"
#include "platform/core/com/OleCommandTarget.h"
#include "tests/platform/gui/FakeDocumentEngine.h"

#include <gtest/gtest.h>

namespace ql::web {
namespace {

using namespace ql::com;
using test::FakeDocumentEngine;

class FakeDialogs : public EditDialogs {
public:
    bool answer = true;
    std::string source = "/tmp/pic #1.png";
    std::string url = "http://example.org/?a=\"b\"";
    Font font;
    Font shown;
    int asked = 0;
    bool AskImageSource(std::string& s) override
    {
        ++asked;
        s = source;
        return answer;
    }
    bool AskLinkUrl(std::string& u) override
    {
        ++asked;
        u = url;
        return answer;
    }
    bool AskFont(Font& f) override
    {
        ++asked;
        shown = f;
        f = font;
        return answer;
    }
};

struct EditCommandsTest : ::testing::Test {
    FakeDocumentEngine engine;
    FakeDialogs dialogs;
    HRESULT Exec(std::int32_t cmd, std::uint32_t option = OLECMDEXECOPT_DONTPROMPTUSER, const Variant& in = {},
                 Variant* out = nullptr)
    {
        return ExecuteEditCommand(engine, dialogs, cmd, option, in, out);
    }
};

TEST_F(EditCommandsTest, FormattingNumbersRunTheirDocumentCommands)
{
    engine.defaultValue = "true";
    const std::pair<std::int32_t, const char*> map[] = {
        {DECMD_BOLD, "bold"},
        {DECMD_ITALIC, "italic"},
        {DECMD_UNDERLINE, "underline"},
        {DECMD_ORDERLIST, "insertOrderedList"},
        {DECMD_UNORDERLIST, "insertUnorderedList"},
        {DECMD_OUTDENT, "outdent"},
        {DECMD_INDENT, "indent"},
        {DECMD_JUSTIFYLEFT, "justifyLeft"},
        {DECMD_JUSTIFYCENTER, "justifyCenter"},
        {DECMD_JUSTIFYRIGHT, "justifyRight"},
        {DECMD_DELETE, "delete"},
    };
    for (auto [cmd, name] : map) {
        engine.bodies.clear();
        EXPECT_EQ(Exec(cmd), S_OK) << cmd;
        ASSERT_EQ(engine.bodies.size(), 1u) << cmd;
        EXPECT_EQ(engine.bodies[0], std::string("document.execCommand(\"") + name + "\",false,null)") << cmd;
    }
    EXPECT_TRUE(engine.executed.empty());
}

TEST_F(EditCommandsTest, ClipboardAndHistoryUseTheEnginesOwnCommands)
{
    const std::pair<std::int32_t, EditingCommand> map[] = {
        {DECMD_CUT, EditingCommand::Cut},     {DECMD_COPY, EditingCommand::Copy},
        {DECMD_PASTE, EditingCommand::Paste}, {DECMD_UNDO, EditingCommand::Undo},
        {DECMD_REDO, EditingCommand::Redo},   {DECMD_SELECTALL, EditingCommand::SelectAll},
    };
    for (auto [cmd, editing] : map) {
        engine.executed.clear();
        EXPECT_EQ(Exec(cmd), S_OK);
        ASSERT_EQ(engine.executed.size(), 1u);
        EXPECT_EQ(engine.executed[0], editing);
    }
    EXPECT_TRUE(engine.bodies.empty());
    engine.canExecute = false;
    EXPECT_EQ(Exec(DECMD_PASTE), OLECMDERR_E_DISABLED);
}

TEST_F(EditCommandsTest, ValuesGoInJsonEncoded)
{
    engine.defaultValue = "true";
    EXPECT_EQ(Exec(DECMD_SETFONTNAME, 2, Variant(u"A\"); alert(1); (\"")), S_OK);
    EXPECT_EQ(engine.bodies.back(), R"(document.execCommand("fontName",false,"A\"); alert(1); (\""))");
    EXPECT_EQ(Exec(DECMD_SETFONTSIZE, 2, Variant(u"5")), S_OK);
    EXPECT_EQ(engine.bodies.back(), R"(document.execCommand("fontSize",false,"5"))");
    EXPECT_EQ(Exec(DECMD_SETFORECOLOR, 0, Variant(u"#ff0000")), S_OK);
    EXPECT_EQ(engine.bodies.back(), R"(document.execCommand("foreColor",false,"#ff0000"))");
    EXPECT_EQ(Exec(DECMD_SETFONTSIZE, 2, Variant::Bytes({1})), DISP_E_TYPEMISMATCH);
}

TEST_F(EditCommandsTest, ReadingCommandsGiveTheControlsValues)
{
    engine.Answer("\"foreColor\"", R"x("rgb(255, 0, 0)")x");
    engine.Answer("\"fontName\"", R"("\"Times New Roman\", serif")");
    engine.Answer("\"fontSize\"", R"("")");
    Variant out;
    EXPECT_EQ(Exec(DECMD_GETFORECOLOR, 0, {}, &out), S_OK);
    EXPECT_EQ(out.ToUtf8(), "#ff0000");
    EXPECT_EQ(Exec(DECMD_GETFONTNAME, 2, {}, &out), S_OK);
    EXPECT_EQ(out.ToUtf8(), "Times New Roman");
    EXPECT_EQ(Exec(DECMD_GETFONTSIZE, 2, {}, &out), S_OK);
    EXPECT_TRUE(out.IsNull());  // no size: the editor then shows "3"
}

TEST_F(EditCommandsTest, PromptingCommandsAskAndCancelCleanly)
{
    engine.defaultValue = "true";
    EXPECT_EQ(Exec(DECMD_IMAGE, OLECMDEXECOPT_DODEFAULT), S_OK);
    EXPECT_EQ(dialogs.asked, 1);
    EXPECT_EQ(engine.bodies.back(), R"(document.execCommand("insertImage",false,"file:///tmp/pic%20%231.png"))");
    EXPECT_EQ(Exec(DECMD_HYPERLINK, OLECMDEXECOPT_DONTPROMPTUSER), S_OK);  // no value: asks anyway
    EXPECT_EQ(engine.bodies.back(), R"(document.execCommand("createLink",false,"http://example.org/?a=\"b\""))");
    EXPECT_EQ(Exec(DECMD_HYPERLINK, OLECMDEXECOPT_DONTPROMPTUSER, Variant(u"http://x/")), S_OK);
    EXPECT_EQ(dialogs.asked, 2);
    dialogs.answer = false;
    std::size_t before = engine.bodies.size();
    EXPECT_EQ(Exec(DECMD_IMAGE, OLECMDEXECOPT_PROMPTUSER), E_ABORT);
    EXPECT_EQ(engine.bodies.size(), before);
    EXPECT_EQ(Exec(DECMD_FINDTEXT, OLECMDEXECOPT_PROMPTUSER), S_OK);
    EXPECT_EQ(engine.findDialogs, 1);
}

TEST_F(EditCommandsTest, FontDialogStartsFromTheSelectionAndAppliesOnlyChanges)
{
    engine.Answer("queryCommandValue(\"fontName\")", R"("Arial")");
    engine.Answer("queryCommandValue(\"fontSize\")", R"("4")");
    engine.Answer("queryCommandValue(\"foreColor\")", R"x("rgb(0, 0, 0)")x");
    engine.Answer("queryCommandState(\"bold\")", "[true,true,true,false]");
    engine.Answer("queryCommandSupported", "[true,true,false,false]");
    engine.Answer("execCommand", "true");
    dialogs.font = {"Arial", 6, false, true, false, "#00ff00"};
    EXPECT_EQ(Exec(DECMD_FONT, OLECMDEXECOPT_PROMPTUSER), S_OK);
    EXPECT_EQ(dialogs.shown.name, "Arial");
    EXPECT_EQ(dialogs.shown.size, 4);
    EXPECT_TRUE(dialogs.shown.bold);
    EXPECT_EQ(dialogs.shown.colour, "#000000");
    EXPECT_FALSE(engine.Ran("execCommand(\"fontName\""));
    EXPECT_TRUE(engine.Ran(R"(execCommand("fontSize",false,"6"))"));
    EXPECT_TRUE(engine.Ran(R"(execCommand("bold",false,null))"));
    EXPECT_TRUE(engine.Ran(R"(execCommand("italic",false,null))"));
    EXPECT_FALSE(engine.Ran(R"(execCommand("underline")"));
    EXPECT_TRUE(engine.Ran(R"(execCommand("foreColor",false,"#00ff00"))"));
}

TEST_F(EditCommandsTest, QueryStatusAnswersTheControlsBitValues)
{
    EXPECT_EQ(CommandStatusBits(false, true, true, true), DECMDF_NOTSUPPORTED);
    EXPECT_EQ(CommandStatusBits(true, false, true, true), DECMDF_DISABLED);
    EXPECT_EQ(CommandStatusBits(true, true, false, false), DECMDF_ENABLED);
    EXPECT_EQ(CommandStatusBits(true, true, true, false), DECMDF_LATCHED);
    EXPECT_EQ(CommandStatusBits(true, true, true, true), DECMDF_NINCHED);

    engine.Answer("\"bold\"", "[true,true,true,false]");
    engine.Answer("\"italic\"", "[true,true,false,false]");
    engine.Answer("\"underline\"", "[true,false,false,false]");
    engine.Answer("\"fontSize\"", "[true,true,true,false]");
    engine.Answer("\"fontName\"", "[true,true,false,true]");
    EXPECT_EQ(QueryEditCommand(engine, DECMD_BOLD), 7);
    EXPECT_EQ(QueryEditCommand(engine, DECMD_ITALIC), 3);
    EXPECT_EQ(QueryEditCommand(engine, DECMD_UNDERLINE), 1);
    EXPECT_EQ(QueryEditCommand(engine, DECMD_SETFONTSIZE), 7);
    EXPECT_EQ(QueryEditCommand(engine, DECMD_GETFONTNAME), 3);  // reading has no latched state
    EXPECT_EQ(QueryEditCommand(engine, DECMD_FINDTEXT), 3);
    EXPECT_EQ(QueryEditCommand(engine, 4242), 0);
    engine.canExecute = false;
    EXPECT_EQ(QueryEditCommand(engine, DECMD_PASTE), 1);
    engine.canExecute = true;
    EXPECT_EQ(QueryEditCommand(engine, DECMD_UNDO), 3);
    engine.hasDocument = false;
    EXPECT_EQ(QueryEditCommand(engine, DECMD_BOLD), 1);
    EXPECT_EQ(Exec(DECMD_BOLD), E_FAIL);
}

TEST_F(EditCommandsTest, UnknownNumbersAndThrownScriptsFail)
{
    EXPECT_EQ(Exec(1234), OLECMDERR_E_NOTSUPPORTED);
    engine.Throw("execCommand");
    EXPECT_EQ(Exec(DECMD_BOLD), DISP_E_EXCEPTION);
    engine.rules.clear();
    engine.defaultValue = "false";
    EXPECT_EQ(Exec(DECMD_BOLD), OLECMDERR_E_DISABLED);
    engine.engineFails = true;
    EXPECT_EQ(Exec(DECMD_BOLD), E_FAIL);
}

}  // namespace
}  // namespace ql::web
