#include "secret.hpp"

#include <string.h>  // explicit_bzero
#include <sys/mman.h>

#include <algorithm>
#include <utility>

namespace sorvane::gui {
namespace {

constexpr size_t PAGE = 4096;
static_assert(SecretBytes::CAPACITY <= PAGE);
constexpr unsigned char CONTINUATION_MASK = 0xC0;
constexpr unsigned char CONTINUATION = 0x80;

}  // namespace

std::optional<PasswordRefusal> password_refusal(std::string_view password) {
  if (password.find_first_of("\r\n") != std::string_view::npos) return PasswordRefusal::LineBreak;
  if (password.find('\0') != std::string_view::npos) return PasswordRefusal::NulByte;
  if (password.size() > MAX_PASSWORD_BYTES) return PasswordRefusal::TooLong;
  return std::nullopt;
}

void wipe(char* data, size_t size) {
  ::explicit_bzero(data, size);
}

SecretBytes::SecretBytes(std::span<char> storage)
    : data_(storage.data()), capacity_(std::min(storage.size(), CAPACITY)) {
  wipe(data_, storage.size());
}

SecretBytes::SecretBytes() {
  void* page = ::mmap(nullptr, PAGE, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (page == MAP_FAILED) return;  // nothing can be kept: every append overflows
  data_ = static_cast<char*>(page);
  capacity_ = CAPACITY;
  mapped_ = true;
  locked_ = ::mlock(page, PAGE) == 0;
  // Neither a core dump nor a forked child gets a copy.
  (void)::madvise(page, PAGE, MADV_DONTDUMP);
  (void)::madvise(page, PAGE, MADV_DONTFORK);
}

SecretBytes::~SecretBytes() {
  release();
}

SecretBytes::SecretBytes(SecretBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)),
      overflowed_(std::exchange(other.overflowed_, false)),
      locked_(std::exchange(other.locked_, false)),
      mapped_(std::exchange(other.mapped_, false)) {}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept {
  if (this != &other) {
    release();
    data_ = std::exchange(other.data_, nullptr);
    capacity_ = std::exchange(other.capacity_, 0);
    size_ = std::exchange(other.size_, 0);
    overflowed_ = std::exchange(other.overflowed_, false);
    locked_ = std::exchange(other.locked_, false);
    mapped_ = std::exchange(other.mapped_, false);
  }
  return *this;
}

void SecretBytes::release() {
  if (data_ == nullptr) return;
  wipe(data_, capacity_);
  if (locked_) (void)::munlock(data_, PAGE);
  if (mapped_) (void)::munmap(data_, PAGE);
  data_ = nullptr;
  capacity_ = 0;
  size_ = 0;
  overflowed_ = false;
  locked_ = false;
  mapped_ = false;
}

void SecretBytes::append_byte(char byte) {
  if (data_ == nullptr || size_ >= capacity_) {
    overflowed_ = true;
    return;
  }
  data_[size_++] = byte;
}

void SecretBytes::append(char32_t c) {
  // UTF-8 written byte by byte into the page: no buffer in between.
  constexpr char32_t ONE = 0x80;
  constexpr char32_t TWO = 0x800;
  constexpr char32_t THREE = 0x10000;
  const size_t length = c < ONE ? 1 : c < TWO ? 2 : c < THREE ? 3 : 4;
  if (data_ == nullptr || size_ + length > capacity_) {
    overflowed_ = true;
    return;
  }
  const auto byte = [](unsigned value) { return static_cast<char>(value & 0xFFU); };
  const auto code = static_cast<unsigned>(c);
  switch (length) {
    case 1: data_[size_++] = byte(code); break;
    case 2:
      data_[size_++] = byte(0xC0U | (code >> 6U));
      data_[size_++] = byte(0x80U | (code & 0x3FU));
      break;
    case 3:
      data_[size_++] = byte(0xE0U | (code >> 12U));
      data_[size_++] = byte(0x80U | ((code >> 6U) & 0x3FU));
      data_[size_++] = byte(0x80U | (code & 0x3FU));
      break;
    default:
      data_[size_++] = byte(0xF0U | (code >> 18U));
      data_[size_++] = byte(0x80U | ((code >> 12U) & 0x3FU));
      data_[size_++] = byte(0x80U | ((code >> 6U) & 0x3FU));
      data_[size_++] = byte(0x80U | (code & 0x3FU));
      break;
  }
}

void SecretBytes::remove_last() {
  if (overflowed_) {
    // What was past the end was never kept: the whole of it is unknown.
    clear();
    return;
  }
  while (size_ > 0) {
    const auto last = static_cast<unsigned char>(data_[--size_]);
    data_[size_] = 0;
    if ((last & CONTINUATION_MASK) != CONTINUATION) break;
  }
}

void SecretBytes::clear() {
  if (data_ != nullptr) wipe(data_, capacity_);
  size_ = 0;
  overflowed_ = false;
}

}  // namespace sorvane::gui
