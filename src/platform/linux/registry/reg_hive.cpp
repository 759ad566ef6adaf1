#include "platform/linux/registry/reg_hive.h"

#include "platform/linux/text/name_fold.h"

namespace keldo {

namespace {

// Wine gives up on opening a key once it has followed this many links.
constexpr int kMaxLinks = 32;
constexpr TextView kRegistryRoot = u"\\registry\\";

Text Joined(Text path, TextView rest) {
  if (!path.empty() && !rest.empty()) path.push_back(u'\\');
  path.append(rest);
  return path;
}

}  // namespace

std::vector<TextView> RegPathNames(TextView path) {
  std::vector<TextView> names;
  std::size_t at = 0;
  while (at < path.size()) {
    const std::size_t end = std::min(path.find(u'\\', at), path.size());
    if (end > at) names.push_back(path.substr(at, end - at));
    at = end + 1;
  }
  return names;
}

Text RegPath(const std::vector<TextView>& names, std::size_t from) {
  Text path;
  for (std::size_t i = from; i < names.size(); ++i) {
    if (i > from) path.push_back(u'\\');
    path.append(names[i]);
  }
  return path;
}

void RegHive::AddKey(const Text& folded) { keys_.try_emplace(folded); }

void RegHive::SetValue(const Text& folded, const Text& foldedName, RegValue value) {
  keys_[folded][foldedName] = std::move(value);
}

void RegHive::EraseValue(const Text& folded, const Text& foldedName) {
  const auto key = keys_.find(folded);
  if (key != keys_.end()) key->second.erase(foldedName);
}

void RegHive::AddPath(const Text& folded) { paths_.insert(folded); }

void RegHive::MarkLink(const Text& folded) { links_.insert(folded); }

void RegHive::SetLinkTarget(const Text& folded, std::vector<unsigned char> data) {
  linkTargets_[folded] = std::move(data);
}

void RegHive::EraseLinkTarget(const Text& folded) { linkTargets_.erase(folded); }

bool RegHive::Exists(const Text& folded) const {
  return keys_.find(folded) != keys_.end() || paths_.find(folded) != paths_.end();
}

const RegValues* RegHive::Key(TextView key) const {
  const auto found = keys_.find(FoldName(key));
  return found == keys_.end() ? nullptr : &found->second;
}

const RegValue* RegHive::Value(TextView key, TextView name) const {
  const RegValues* values = Key(key);
  if (values == nullptr) return nullptr;
  const auto found = values->find(FoldName(name));
  return found == values->end() ? nullptr : &found->second;
}

std::optional<Text> RegHive::Resolve(TextView key, TextView root, RegKeySet* more) const {
  const Text folded = FoldName(key);
  int links = 0;
  return Walk(Text(), RegPathNames(folded), 0, FoldName(root), links, more);
}

std::optional<Text> RegHive::Walk(Text at, const std::vector<TextView>& parts, std::size_t from,
                                  TextView root, int& links, RegKeySet* more) const {
  for (std::size_t i = from; i < parts.size(); ++i) {
    Text next = at.empty() ? Text(parts[i]) : at + u'\\' + Text(parts[i]);
    if (!Exists(next)) return std::nullopt;
    const Text rest = more != nullptr ? RegPath(parts, i + 1) : Text();
    auto followed = Follow(next, rest, root, links, more);
    if (!followed) return std::nullopt;
    if (more != nullptr && *followed != next) more->insert(Joined(*followed, rest));
    at = std::move(*followed);
  }
  return at;
}

// As Wine reads a link: the value's UTF-16 units as they are, a NUL
// included, naming a path from the registry's top.
std::optional<Text> RegHive::Follow(const Text& key, TextView rest, TextView root, int& links,
                                    RegKeySet* more) const {
  if (links_.find(key) == links_.end()) return key;
  if (++links > kMaxLinks) return std::nullopt;
  const auto link = linkTargets_.find(key);
  if (link == linkTargets_.end()) return std::nullopt;
  Text target;
  const auto& data = link->second;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    target.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  FoldNameInPlace(target);
  if (target.size() <= kRegistryRoot.size() ||
      TextView(target).substr(0, kRegistryRoot.size()) != kRegistryRoot) {
    return std::nullopt;
  }
  const TextView path = TextView(target).substr(kRegistryRoot.size());
  if (path[0] == u'\\') return std::nullopt;
  const std::vector<TextView> names = RegPathNames(path);
  const std::vector<TextView> rootNames = RegPathNames(root);
  // Only this file's own keys are known here.
  if (names.size() < rootNames.size()) return std::nullopt;
  for (std::size_t i = 0; i < rootNames.size(); ++i) {
    if (names[i] != rootNames[i]) return std::nullopt;
  }
  if (more != nullptr) more->insert(Joined(RegPath(names, rootNames.size()), rest));
  return Walk(Text(), names, rootNames.size(), root, links, more);
}

Text RegText(const RegValue& value) {
  if (value.type != kRegSz && value.type != kRegExpandSz) return Text();
  Text text;
  for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

}  // namespace keldo
