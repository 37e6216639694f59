// Registry strings of VekBaseClass.
// The capture extension compiles this file in as well, so it depends on platform/core only.
#include "foundation/VekBaseClass.h"

namespace ql {

bool WriteRegString(RegRoot root, const std::string& key, const std::string& name, const std::string& text)
{
    return Registry().WriteString(root, key, name, text);
}

std::string ReadRegString(RegRoot root, const std::string& key, const std::string& name)
{
    return Registry().ReadString(root, key, name).value_or("");
}

}  // namespace ql
