// The registry of Windows, read with RegOpenKeyExW and RegGetValueW. The
// 32-bit programs' view is asked for with KEY_WOW64_32KEY, so that this
// 64-bit program finds what 32-bit installers wrote under WOW6432Node (on
// 32-bit Windows the flag is ignored).
#include "core/platform/Registry.h"

#include "core/files/win32/Win32Files.h"

namespace vantrel::registry {

namespace {

// An open registry key that closes itself.
class Key {
public:
    Key(Root root, std::string_view name, View view, REGSAM access)
    {
        const HKEY base = root == Root::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        const REGSAM wow = view == View::Programs32 ? KEY_WOW64_32KEY : 0;
        if (::RegOpenKeyExW(base, win32::wide(name).c_str(), 0, access | wow, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~Key()
    {
        if (key_ != nullptr)
            ::RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

class WindowsRegistry final : public Registry {
public:
    std::optional<std::string> text(Root root, std::string_view keyName, std::string_view name,
                                    View view) const override
    {
        const Key key(root, keyName, view, KEY_QUERY_VALUE);
        if (key.get() == nullptr)
            return std::nullopt;
        const std::wstring valueName = win32::wide(name);
        // Text only. Without RRF_NOEXPAND, RRF_RT_REG_SZ also takes an
        // expandable value (REG_EXPAND_SZ) and gives it expanded; naming
        // RRF_RT_REG_EXPAND_SZ as well would make the call fail.
        constexpr DWORD kText = RRF_RT_REG_SZ;
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD bytes = 0;
            if (::RegGetValueW(key.get(), nullptr, valueName.c_str(), kText, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
                return std::nullopt;
            std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
            bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
            const LSTATUS status =
                ::RegGetValueW(key.get(), nullptr, valueName.c_str(), kText, nullptr, value.data(), &bytes);
            if (status == ERROR_MORE_DATA)
                continue;  // the value grew meanwhile
            if (status != ERROR_SUCCESS)
                return std::nullopt;
            value.resize(bytes / sizeof(wchar_t));
            while (!value.empty() && value.back() == L'\0')
                value.pop_back();
            return win32::utf8(value);
        }
        return std::nullopt;
    }

    std::vector<std::string> subkeys(Root root, std::string_view keyName, View view) const override
    {
        std::vector<std::string> names;
        const Key key(root, keyName, view, KEY_ENUMERATE_SUB_KEYS);
        if (key.get() == nullptr)
            return names;
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];  // key names have at most 255 characters
            DWORD length = 256;
            const LSTATUS status = ::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (status != ERROR_SUCCESS)
                break;
            names.push_back(win32::utf8(std::wstring_view(name, length)));
        }
        return names;
    }
};

}  // namespace

const Registry& systemRegistry()
{
    static const WindowsRegistry windows;
    return windows;
}

}  // namespace vantrel::registry
