#include "provisioning/registry/RegistryAccessor.h"

#include "platform/Port.h"

namespace orvane {

namespace {

std::string TrimSeparators(const std::string& path) {
  size_t begin = 0;
  size_t end = path.size();
  while (begin < end && path[begin] == '\\') ++begin;
  while (end > begin && path[end - 1] == '\\') --end;
  return path.substr(begin, end - begin);
}

void WriteOrRaise(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value) {
  if (!Port<Registry>().WriteValue(root, path, name, value)) {
    throw ERegistryException("Impossible d'établir les données de '" + name + "'");
  }
}

}  // namespace

// A key opened for reading refuses writes, as a read-only handle would.
void TRegistryAccessor::RaiseWhenReadOnly(const std::string& name) const {
  if (open_ && !write_) throw ERegistryException("Impossible d'établir les données de '" + name + "'");
}

TRegistryAccessor::~TRegistryAccessor() {
  CloseKey();
  // A failure here has no one to tell; whoever must know calls Flush first.
  Port<Registry>().Flush();
}

void TRegistryAccessor::Flush() {
  if (!Port<Registry>().Flush()) throw ERegistryException("Impossible d'enregistrer le registre");
}

void TRegistryAccessor::SetRootKey(TRootKey root) {
  CloseKey();
  root_ = root;
}

std::string TRegistryAccessor::Resolve(const std::string& key) const {
  const bool absolute = !key.empty() && key.front() == '\\';
  const std::string relative = TrimSeparators(key);
  if (absolute || !open_ || path_.empty()) return relative;
  if (relative.empty()) return path_;
  return path_ + "\\" + relative;
}

bool TRegistryAccessor::OpenKey(const std::string& key, bool canCreate) {
  const std::string path = Resolve(key);
  Registry& registry = Port<Registry>();
  const bool opened = canCreate ? registry.CreateKey(root_, path) && registry.OpenKey(root_, path, true)
                                : registry.OpenKey(root_, path, true);
  if (!opened) return false;
  open_ = true;
  write_ = true;
  path_ = path;
  return true;
}

bool TRegistryAccessor::OpenKeyReadOnly(const std::string& key) {
  const std::string path = Resolve(key);
  if (!Port<Registry>().OpenKey(root_, path, false)) return false;
  open_ = true;
  write_ = false;
  path_ = path;
  return true;
}

void TRegistryAccessor::CloseKey() {
  open_ = false;
  write_ = false;
  path_.clear();
}

bool TRegistryAccessor::CreateKey(const std::string& key) { return Port<Registry>().CreateKey(root_, Resolve(key)); }

bool TRegistryAccessor::DeleteKey(const std::string& key) {
  const std::string path = Resolve(key);
  // The root key itself is never deleted through a relative name that resolves to nothing.
  if (path.empty()) return false;
  return Port<Registry>().DeleteKey(root_, path);
}

bool TRegistryAccessor::ValueExists(const std::string& name) {
  TRegValue value;
  return Port<Registry>().ReadValue(root_, path_, name, value);
}

int32_t TRegistryAccessor::ReadInteger(const std::string& name) {
  TRegValue value;
  if (!Port<Registry>().ReadValue(root_, path_, name, value)) {
    throw ERegistryException("Impossible d'obtenir les données de '" + name + "'");
  }
  if (value.type != kRegDword) throw ERegistryException("Type de données incorrect pour '" + name + "'");
  return static_cast<int32_t>(value.dword);
}

void TRegistryAccessor::WriteInteger(const std::string& name, int32_t value) {
  RaiseWhenReadOnly(name);
  TRegValue stored;
  stored.type = kRegDword;
  stored.dword = static_cast<uint32_t>(value);
  WriteOrRaise(root_, path_, name, stored);
}

void TRegistryAccessor::WriteString(const std::string& name, const std::string& value) {
  RaiseWhenReadOnly(name);
  TRegValue stored;
  stored.type = kRegSz;
  stored.text = value;
  WriteOrRaise(root_, path_, name, stored);
}

}  // namespace orvane
