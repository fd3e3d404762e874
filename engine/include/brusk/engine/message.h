#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Brusk::Engine {

/// One value a message quotes, with what it is, so that a front end can word it in its reader's
/// language: a number in its decimal separator, a wall-file key by its label, a word of a key
/// in that language.
struct MessageValue {
  enum class Kind {
    Text,     ///< quoted as it is (a file's name, a layer's name)
    Number,   ///< a number's text with a decimal point ("-0.035")
    Key,      ///< a wall-file key ("conductivity")
    Word,     ///< one word of the wall-file key `key` ("external" of position)
    Choices,  ///< words of the key `key`, quoted and joined: "a", "b" or "c"
  };
  Kind kind = Kind::Text;
  std::string text;                ///< Text, Number, Key and Word
  std::vector<std::string> words;  ///< Choices
  std::string key;                 ///< the key of a Word or of Choices; may be empty

  [[nodiscard]] static MessageValue plain(std::string text) {
    return {Kind::Text, std::move(text), {}, {}};
  }
  [[nodiscard]] static MessageValue number(std::string text) {
    return {Kind::Number, std::move(text), {}, {}};
  }
  [[nodiscard]] static MessageValue fileKey(std::string key) {
    return {Kind::Key, std::move(key), {}, {}};
  }
  [[nodiscard]] static MessageValue word(std::string key, std::string word) {
    return {Kind::Word, std::move(word), {}, std::move(key)};
  }
  [[nodiscard]] static MessageValue choices(std::string key, std::vector<std::string> words) {
    return {Kind::Choices, {}, std::move(words), std::move(key)};
  }
};

/// A message as data: the key of its wording in the message description and the values it
/// quotes by name. Front ends word it (englishText() for the command line; a page in its
/// reader's language by the same key), so that no one reads the words back.
struct Message {
  std::string key;
  std::vector<std::pair<std::string, MessageValue>> values;
};

/// One message of the description: its key and its English wording, a template whose `{name}`
/// places take the message's values.
struct MessageWording {
  std::string_view key;
  std::string_view english;
};

/// Every message the engine and the readers word by key, in English: the one description of
/// their wording, as quantities.cpp is of the quantities.
[[nodiscard]] const std::vector<MessageWording>& messageWordings();

/// The English text of `message`: its wording with each value filled in (Choices as `"a", "b"
/// or "c"`). A key outside the description is a programming error and gives the key itself.
[[nodiscard]] std::string englishText(const Message& message);

/// The English texts of `parts` joined by ": ", as a message names the file, the layer and
/// then the reason: "wall.toml:3: layer 2: thickness is missing (in m)".
[[nodiscard]] std::string englishText(const std::vector<Message>& parts);

}  // namespace Brusk::Engine
