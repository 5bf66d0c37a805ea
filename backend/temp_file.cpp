#include "temp_file.hpp"

#include <fcntl.h>
#include <unistd.h>

#include "path.hpp"

namespace sorvane {
namespace {

constexpr std::uint64_t ALPHABET_SIZE = TEMP_NAME_ALPHABET.size();
// 2^64 mod 62: products whose low half falls below this are rejected so
// that every character is equally likely.
constexpr std::uint64_t REJECTION_THRESHOLD =
    (~std::uint64_t{0} % ALPHABET_SIZE + 1) % ALPHABET_SIZE;
static_assert(REJECTION_THRESHOLD == 16);

constexpr int CREATE_FLAGS = O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC;

}  // namespace

TempPath::~TempPath() {
  if (!owned_) return;
  const int saved = errno;  // clean-up never changes the error being reported
  ::unlink(path_.c_str());
  errno = saved;
}

Result<UniqueFd, PersistError> persist(NamedTempFile file, std::string_view destination) {
  const auto target = to_c_path(destination);
  if (!target) return PersistError{OsError::from_code(EINVAL), std::move(file)};
  if (::renameat(AT_FDCWD, file.path().c_str(), AT_FDCWD, target->c_str()) != 0) {
    return PersistError{OsError::last(), std::move(file)};
  }
  return std::move(file).keep();
}

std::string tmpname(Wyrand& generator, std::string_view prefix, std::string_view suffix,
                    size_t random_len) {
  std::string name(prefix);
  for (size_t i = 0; i < random_len; ++i) {
    unsigned __int128 m = 0;
    do {
      m = static_cast<unsigned __int128>(generator.next()) * ALPHABET_SIZE;
    } while (static_cast<std::uint64_t>(m) < REJECTION_THRESHOLD);
    name += TEMP_NAME_ALPHABET[static_cast<size_t>(m >> 64U)];
  }
  name += suffix;
  return name;
}

Result<NamedTempFile, PathError> create_named(std::string path) {
  if (path.find('\0') != std::string::npos)
    return PathError{std::move(path), OsError::from_code(EINVAL)};
  const int fd =
      retry_on_eintr([&] { return ::open(path.c_str(), CREATE_FLAGS, SCRIPT_FILE_MODE); });
  if (fd < 0) return PathError{std::move(path), OsError::last()};
  return NamedTempFile(TempPath(std::move(path)), UniqueFd(fd));
}

Result<NamedTempFile, PathError> create_helper(std::string_view base, std::string_view prefix,
                                               std::string_view suffix, size_t random_len) {
  Wyrand names(next_thread_random());
  for (std::uint32_t attempt = 0; attempt < MAX_CREATE_ATTEMPTS; ++attempt) {
    if (attempt == RESEED_ATTEMPT) {
      // A failed reseed keeps the current state; the next names still differ.
      if (const auto seed = os_random_u64()) names.reseed(*seed);
    }
    auto created = create_named(join(base, tmpname(names, prefix, suffix, random_len)));
    if (created) return created;
    const ErrorKind kind = created.error().kind();
    if (kind != ErrorKind::AlreadyExists && kind != ErrorKind::AddrInUse) return created;
  }
  return PathError{std::string(base),
                   OsError::with_message(TOO_MANY_TEMP_FILES, ErrorKind::AlreadyExists)};
}

}  // namespace sorvane
