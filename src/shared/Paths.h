#pragma once

#include <string>
#include <string_view>

// Lexical path helpers; none of them touches the file system.
namespace Paths {
// Removes "." and empty components and folds ".." onto its parent; links are not resolved.
std::string standardized(std::string_view path);
std::string parent(std::string_view path);
std::string_view lastComponent(std::string_view path);
// Text after the last dot of the last component; empty when the name has no dot after its
// first character.
std::string_view extension(std::string_view path);
std::string lowercased(std::string_view text);
// Calls visit(component) for each non-empty component, from the top; stops early when
// visit returns false. Allocates nothing.
template <typename Visit>
void forEachComponent(std::string_view path, Visit visit)
{
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start && !visit(path.substr(start, end - start)))
            return;
        start = end + 1;
    }
}
// path + "/" + name, without doubling the slash of "/".
std::string child(std::string_view path, std::string_view name);
}
