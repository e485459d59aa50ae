#include "platform/VdfFile.h"

#include <utility>

#include "platform/Text.h"

namespace kestrane::vdf {

namespace {

enum class TokenKind { Text, Open, Close, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    bool quoted = false;
    int line = 1;
};

struct Failure {
    int line = 0;
    std::string what;
};

// Splits the text into quoted or bare texts and braces, skipping blanks and
// comments, with one token of look-ahead.
class Lexer {
public:
    explicit Lexer(std::string_view text) : m_text(text) {}

    // The next token, or the failure that stops the reading.
    std::optional<Failure> next(Token& token) {
        if (m_peeked) {
            token = std::move(*m_peeked);
            m_peeked.reset();
            return std::nullopt;
        }
        return read(token);
    }

    std::optional<Failure> peek(const Token*& token) {
        if (!m_peeked) {
            Token t;
            if (auto failure = read(t))
                return failure;
            m_peeked = std::move(t);
        }
        token = &*m_peeked;
        return std::nullopt;
    }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
    static bool endsBare(char c) { return isBlank(c) || c == '"' || c == '{' || c == '}'; }

    void skipBlanksAndComments() {
        while (m_pos < m_text.size()) {
            char c = m_text[m_pos];
            if (c == '\n') {
                ++m_line;
                ++m_pos;
            } else if (isBlank(c)) {
                ++m_pos;
            } else if (c == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '/') {
                while (m_pos < m_text.size() && m_text[m_pos] != '\n')
                    ++m_pos;
            } else {
                return;
            }
        }
    }

    std::optional<Failure> read(Token& token) {
        skipBlanksAndComments();
        token = Token{};
        token.line = m_line;
        if (m_pos >= m_text.size())
            return std::nullopt;
        char c = m_text[m_pos];
        if (c == '{' || c == '}') {
            token.kind = c == '{' ? TokenKind::Open : TokenKind::Close;
            ++m_pos;
            return std::nullopt;
        }
        token.kind = TokenKind::Text;
        if (c == '"')
            return readQuoted(token);
        while (m_pos < m_text.size() && !endsBare(m_text[m_pos]))
            token.text += m_text[m_pos++];
        return std::nullopt;
    }

    std::optional<Failure> readQuoted(Token& token) {
        token.quoted = true;
        ++m_pos;
        while (m_pos < m_text.size()) {
            char c = m_text[m_pos++];
            if (c == '"')
                return std::nullopt;
            if (c == '\n')
                ++m_line;
            if (c == '\\' && m_pos < m_text.size()) {
                token.text += unescaped(m_text[m_pos++]);
                continue;
            }
            token.text += c;
        }
        return Failure{token.line, "the quoted text that starts here is not closed"};
    }

    // The character an escape stands for; an unknown escape keeps its backslash.
    std::string unescaped(char c) {
        switch (c) {
        case 'n': return "\n";
        case 't': return "\t";
        case '\\': return "\\";
        case '"': return "\"";
        case '\n': ++m_line; return "\\\n";
        default: return std::string{'\\', c};
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
    std::optional<Token> m_peeked;
};

bool isCondition(const Token& token) {
    return token.kind == TokenKind::Text && !token.quoted && token.text.size() >= 2 && token.text.front() == '[' &&
           token.text.back() == ']';
}

class Parser {
public:
    explicit Parser(std::string_view text) : m_lexer(text) {}

    std::optional<Failure> run(std::vector<Entry>& entries) { return readEntries(entries, 0, 0); }

private:
    // Reads entries up to the closing brace of the object opened on openLine
    // (depth > 0) or to the end of the text (depth 0).
    std::optional<Failure> readEntries(std::vector<Entry>& entries, int depth, int openLine) {
        for (;;) {
            Token key;
            if (auto failure = m_lexer.next(key))
                return failure;
            switch (key.kind) {
            case TokenKind::End:
                if (depth > 0)
                    return Failure{openLine, "the { here is not closed"};
                return std::nullopt;
            case TokenKind::Close:
                if (depth == 0)
                    return Failure{key.line, "a } that closes nothing"};
                return std::nullopt;
            case TokenKind::Open:
                return Failure{key.line, "a { where a key should be"};
            case TokenKind::Text:
                break;
            }
            Node value;
            if (auto failure = readValue(key, value, depth))
                return failure;
            entries.push_back({std::move(key.text), std::move(value)});
            if (auto failure = skipCondition())
                return failure;
        }
    }

    std::optional<Failure> readValue(const Token& key, Node& value, int depth) {
        Token token;
        if (auto failure = m_lexer.next(token))
            return failure;
        if (isCondition(token)) {
            // A condition between a key and its object, as in: "key" [$WIN32] { ... }
            const Token* after = nullptr;
            if (auto failure = m_lexer.peek(after))
                return failure;
            if (after->kind == TokenKind::Open)
                (void)m_lexer.next(token);  // the brace already read ahead: this cannot fail
        }
        if (token.kind == TokenKind::Text) {
            value = Node::makeText(std::move(token.text));
            return std::nullopt;
        }
        if (token.kind != TokenKind::Open)
            return Failure{key.line, "the key \"" + key.text + "\" has no value"};
        if (depth + 1 > kMaxDepth)
            return Failure{token.line, "objects are nested more than " + std::to_string(kMaxDepth) + " deep"};
        std::vector<Entry> children;
        if (auto failure = readEntries(children, depth + 1, token.line))
            return failure;
        value = Node::makeObject(std::move(children));
        return std::nullopt;
    }

    std::optional<Failure> skipCondition() {
        const Token* next = nullptr;
        if (auto failure = m_lexer.peek(next))
            return failure;
        if (isCondition(*next)) {
            Token ignored;
            return m_lexer.next(ignored);
        }
        return std::nullopt;
    }

    Lexer m_lexer;
};

}  // namespace

Node::Node() = default;

Node Node::makeText(std::string text) {
    Node node;
    node.m_isText = true;
    node.m_text = std::move(text);
    return node;
}

Node Node::makeObject(std::vector<Entry> entries) {
    Node node;
    node.m_entries = std::move(entries);
    return node;
}

const Node* Node::find(std::string_view key) const {
    const std::string wanted = text::asciiLower(key);
    for (const Entry& entry : m_entries)
        if (text::asciiLower(entry.key) == wanted)
            return &entry.value;
    return nullptr;
}

std::optional<std::string> Node::textOf(std::string_view key) const {
    const Node* node = find(key);
    if (!node || !node->isText())
        return std::nullopt;
    return node->text();
}

Result<Node> parse(std::string_view text, const std::string& fileName) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<Entry> entries;
    if (auto failure = Parser(text).run(entries)) {
        std::string where = (fileName.empty() ? std::string() : fileName + ", ") + "line " +
                            std::to_string(failure->line);
        return makeError(ErrorKind::Malformed, where + ": " + failure->what);
    }
    return Node::makeObject(std::move(entries));
}

}  // namespace kestrane::vdf
