// No registry on POSIX systems: every key is missing.
#include "core/platform/Registry.h"

namespace vantrel::registry {

namespace {

class NoRegistry final : public Registry {
public:
    std::optional<std::string> text(Root, std::string_view, std::string_view, View) const override
    {
        return std::nullopt;
    }
    std::vector<std::string> subkeys(Root, std::string_view, View) const override { return {}; }
};

}  // namespace

const Registry& systemRegistry()
{
    static const NoRegistry none;
    return none;
}

}  // namespace vantrel::registry
