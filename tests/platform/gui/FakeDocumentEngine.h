#pragma once
// A DocumentEngine for headless tests: records the expression of every script our code runs
// and answers from rules (first rule whose text occurs in the expression wins).
#include "platform/gui/DocumentEngine.h"

#include <string>
#include <utility>
#include <vector>

namespace ql::test {

class FakeDocumentEngine : public web::DocumentEngine {
public:
    struct Rule {
        std::string contains;
        std::string valueJson;  // the value; ignored when `throws`
        bool throws = false;
    };
    std::vector<Rule> rules;
    std::string defaultValue = "null";
    std::vector<std::string> bodies;  // the expressions, in order
    bool hasDocument = true;
    std::uint64_t generation = 1;
    bool engineFails = false;
    std::vector<web::EditingCommand> executed;
    bool canExecute = true;
    std::vector<bool> prints;  // promptUser of each print
    int findDialogs = 0;

    void Answer(std::string contains, std::string valueJson)
    {
        rules.push_back({std::move(contains), std::move(valueJson)});
    }
    void Throw(std::string contains) { rules.push_back({std::move(contains), "", true}); }
    // The expression our code wrapped (the script minus the library and the wrapper).
    static std::string BodyOf(const std::string& script)
    {
        const std::string open = ";var R=(";
        const std::string close = ");return JSON.stringify({v:";
        std::size_t a = script.rfind(open);
        std::size_t b = script.rfind(close);
        if (a == std::string::npos || b == std::string::npos || b < a)
            return script;
        return script.substr(a + open.size(), b - a - open.size());
    }
    bool Ran(const std::string& part) const
    {
        for (const auto& b : bodies)
            if (b.find(part) != std::string::npos)
                return true;
        return false;
    }

    bool RunScript(const std::string& script, std::string& result) override
    {
        if (engineFails)
            return false;
        std::string body = BodyOf(script);
        bodies.push_back(body);
        for (const auto& r : rules) {
            if (body.find(r.contains) == std::string::npos)
                continue;
            result = r.throws ? R"({"e":"thrown"})" : "{\"v\":" + r.valueJson + "}";
            return true;
        }
        result = "{\"v\":" + defaultValue + "}";
        return true;
    }
    bool HasDocument() const override { return hasDocument; }
    std::uint64_t DocumentGeneration() const override { return generation; }
    bool ExecuteEditingCommand(web::EditingCommand command) override
    {
        executed.push_back(command);
        return canExecute;
    }
    bool CanExecuteEditingCommand(web::EditingCommand) override { return canExecute; }
    bool Print(bool promptUser) override
    {
        prints.push_back(promptUser);
        return true;
    }
    bool ShowFindDialog() override
    {
        ++findDialogs;
        return true;
    }
};

}  // namespace ql::test
