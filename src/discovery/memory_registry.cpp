// The in-memory registry tree and the keys opened on it.
#include "memory_registry.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "discovery/registry_name.h"

namespace uvantic {

namespace {

// Splits a path on backslashes; visit gets each component and returns false to stop.
// An empty component (doubled or trailing backslash) stops the walk with false.
template <typename Visit>
bool ForEachComponent(std::wstring_view path, Visit visit) {
  if (path.starts_with(L'\\')) path.remove_prefix(1);
  while (true) {
    const auto end = path.find(L'\\');
    const auto component = path.substr(0, end);
    if (component.empty() || !visit(component)) return false;
    if (end == std::wstring_view::npos) return true;
    path.remove_prefix(end + 1);
  }
}

}  // namespace

struct MemoryRegistry::Node : std::enable_shared_from_this<MemoryRegistry::Node> {
  struct Value {
    std::wstring name;
    RegistryData data;
  };

  explicit Node(std::wstring_view keyName) : name(keyName) {}

  Node* Child(std::wstring_view childName) const {
    const auto found = childIndex.find(childName);
    return found == childIndex.end() ? nullptr : found->second.get();
  }

  Node& ChildOrNew(std::wstring_view childName) {
    if (Node* existing = Child(childName)) return *existing;
    auto child = std::make_shared<Node>(childName);
    child->parent = this;
    children.push_back(child);
    childIndex.emplace(child->name, child);
    return *child;
  }

  // The node at a path relative to this one; nullptr when any part is missing.
  template <typename Self>
  static Self* Find(Self* from, std::wstring_view relativePath) {
    Self* node = from;
    const bool found = ForEachComponent(relativePath, [&](std::wstring_view component) {
      node = node->Child(component);
      return node != nullptr;
    });
    return found ? node : nullptr;
  }

  const Value* FindValue(std::wstring_view valueName) const {
    for (const Value& v : values) {
      if (SameRegistryName(v.name, valueName)) return &v;
    }
    return nullptr;
  }

  void MarkDeleted() {
    deleted = true;
    for (const auto& child : children) child->MarkDeleted();
  }

  std::wstring name;
  Node* parent = nullptr;  // nullptr for the root and for removed keys
  std::vector<std::shared_ptr<Node>> children;  // in creation order
  std::map<std::wstring, std::shared_ptr<Node>, RegistryNameLess> childIndex;
  std::vector<Value> values;  // in creation order
  std::set<std::wstring, RegistryNameLess> failingValues;
  bool deleted = false;
  bool failOpen = false;
  bool failName = false;
  bool failNameInParent = false;
  bool failValues = false;
  bool failSubkeys = false;
};

namespace {

class MemoryKey final : public RegistryKey {
 public:
  using Node = MemoryRegistry::Node;
  // name is the key's name as the caller spelled it, which is what the registry
  // gives back for an opened key whatever case the key was created with.
  MemoryKey(std::shared_ptr<const Node> node, std::wstring name) : node_(std::move(node)), name_(std::move(name)) {}

  std::optional<std::wstring> Name() const override {
    if (node_->deleted || node_->failName) return std::nullopt;
    return name_;
  }

  std::unique_ptr<RegistryKey> OpenSubkey(std::wstring_view name) const override {
    if (node_->deleted) return nullptr;
    return Open(*node_, name);
  }

  bool ForEachSubkeyName(
      const std::function<void(const std::optional<std::wstring>&)>& visit) const override {
    if (node_->deleted || node_->failSubkeys) return false;
    // By index: the visitor may change the tree.
    for (std::size_t i = 0; i < node_->children.size(); ++i) {
      const Node& child = *node_->children[i];
      visit(child.failNameInParent ? std::nullopt : std::optional<std::wstring>(child.name));
    }
    return true;
  }

  std::optional<RegistryData> ReadValue(std::wstring_view name) const override {
    if (node_->deleted || node_->failingValues.contains(name)) return std::nullopt;
    const auto* value = node_->FindValue(name);
    if (!value) return std::nullopt;
    return value->data;
  }

  bool ForEachValueData(const std::function<bool(const RegistryData&)>& visit) const override {
    if (node_->deleted || node_->failValues) return false;
    for (std::size_t i = 0; i < node_->values.size(); ++i) {
      const auto& value = node_->values[i];
      const bool go = node_->failingValues.contains(value.name) ? visit(RegistryData::Unreadable())
                                                                : visit(value.data);
      if (!go) break;
    }
    return true;
  }

  // Opens the key at relativePath below from; nullptr when it is missing or refuses.
  static std::unique_ptr<RegistryKey> Open(const Node& from, std::wstring_view relativePath) {
    const Node* node = Node::Find(&from, relativePath);
    if (!node || node->failOpen) return nullptr;
    // A key shares ownership of its node so that it outlives the node's removal.
    const auto slash = relativePath.rfind(L'\\');
    return std::make_unique<MemoryKey>(
        node->shared_from_this(),
        std::wstring(slash == std::wstring_view::npos ? relativePath : relativePath.substr(slash + 1)));
  }

 private:
  std::shared_ptr<const Node> node_;
  std::wstring name_;
};

}  // namespace

MemoryRegistry::KeyBuilder& MemoryRegistry::KeyBuilder::value(std::wstring_view name,
                                                              std::wstring_view text) {
  return value(name, RegistryData::Text(std::wstring(text)));
}

MemoryRegistry::KeyBuilder& MemoryRegistry::KeyBuilder::value(std::wstring_view name,
                                                              std::uint32_t number) {
  return value(name, RegistryData::Number(number));
}

MemoryRegistry::KeyBuilder& MemoryRegistry::KeyBuilder::value(std::wstring_view name,
                                                              RegistryData data) {
  auto& values = node_->values;
  const auto existing = std::find_if(values.begin(), values.end(),
                                     [&](const Node::Value& v) { return SameRegistryName(v.name, name); });
  if (existing != values.end()) {
    existing->data = std::move(data);
  } else {
    values.push_back({std::wstring(name), std::move(data)});
  }
  return *this;
}

MemoryRegistry::KeyBuilder MemoryRegistry::KeyBuilder::key(std::wstring_view relativePath) const {
  Node* node = node_;
  for (std::wstring_view rest = relativePath; !rest.empty();) {
    const auto end = rest.find(L'\\');
    const auto component = rest.substr(0, end);
    if (!component.empty()) node = &node->ChildOrNew(component);
    rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
  }
  return KeyBuilder(*node);
}

MemoryRegistry::MemoryRegistry() : root_(std::make_shared<Node>(L"")) {}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::KeyBuilder MemoryRegistry::key(std::wstring_view path) {
  return KeyBuilder(*root_).key(path);
}

MemoryRegistry::Node& MemoryRegistry::Create(std::wstring_view path) {
  return *key(path).node_;
}

bool MemoryRegistry::remove(std::wstring_view path) {
  Node* node = Node::Find(root_.get(), path);
  if (!node || !node->parent) return false;
  Node& parent = *node->parent;
  node->MarkDeleted();
  node->parent = nullptr;
  parent.childIndex.erase(parent.childIndex.find(node->name));
  std::erase_if(parent.children, [&](const std::shared_ptr<Node>& child) { return child.get() == node; });
  return true;
}

bool MemoryRegistry::removeValue(std::wstring_view path, std::wstring_view name) {
  Node* node = Node::Find(root_.get(), path);
  if (!node) return false;
  return std::erase_if(node->values, [&](const Node::Value& v) { return SameRegistryName(v.name, name); }) != 0;
}

void MemoryRegistry::failOpen(std::wstring_view path) { Create(path).failOpen = true; }

void MemoryRegistry::failValue(std::wstring_view path, std::wstring_view name) {
  Create(path).failingValues.emplace(name);
}

void MemoryRegistry::failName(std::wstring_view path) { Create(path).failName = true; }

void MemoryRegistry::failSubkeyName(std::wstring_view path) { Create(path).failNameInParent = true; }

void MemoryRegistry::failValues(std::wstring_view path) { Create(path).failValues = true; }

void MemoryRegistry::failSubkeys(std::wstring_view path) { Create(path).failSubkeys = true; }

std::unique_ptr<RegistryKey> MemoryRegistry::OpenKey(std::wstring_view path) const {
  return MemoryKey::Open(*root_, path);
}

}  // namespace uvantic
