#include "platform/SqlStatement.h"

#include "platform/ConnectionError.h"
#include "platform/TextCodec.h"

namespace platform {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r') || c == u'\u3000'; }

bool EndsName(char16_t c) {
    return IsBlank(c) || c == u'(' || c == u')' || c == u',' || c == u';' || c == u'\'';
}

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

// A cursor over the statement text that reports what it expected where.
class Reader {
public:
    explicit Reader(std::u16string_view text) : text_(text) {}

    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    }
    bool AtEnd() {
        SkipBlanks();
        return pos_ == text_.size();
    }
    // Consumes the keyword (any letter case) when it comes next as a whole word.
    bool TakeKeyword(std::u16string_view word) {
        SkipBlanks();
        if (text_.size() - pos_ < word.size()) return false;
        for (size_t i = 0; i < word.size(); ++i)
            if (AsciiUpper(text_[pos_ + i]) != word[i]) return false;
        if (pos_ + word.size() < text_.size() && !EndsName(text_[pos_ + word.size()])) return false;
        pos_ += word.size();
        return true;
    }
    void ExpectKeyword(std::u16string_view word) {
        if (!TakeKeyword(word)) Fail(u"expected " + std::u16string(word));
    }
    bool Take(char16_t c) {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void Expect(char16_t c) {
        if (!Take(c)) Fail(u"expected '" + std::u16string(1, c) + u"'");
    }
    std::u16string Name() {
        SkipBlanks();
        size_t start = pos_;
        while (pos_ < text_.size() && !EndsName(text_[pos_])) ++pos_;
        if (pos_ == start) Fail(u"expected a name");
        return std::u16string(text_.substr(start, pos_ - start));
    }
    std::u16string Quoted() {
        SkipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != u'\'') Fail(u"expected a quoted value");
        std::u16string value;
        for (++pos_; pos_ < text_.size(); ++pos_) {
            if (text_[pos_] != u'\'') {
                value += text_[pos_];
            } else if (pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\'') {
                value += u'\'';
                ++pos_;
            } else {
                ++pos_;
                return value;
            }
        }
        Fail(u"unterminated quoted value");
    }
    // The end: blanks and one optional ';'.
    void ExpectEnd() {
        Take(u';');
        if (!AtEnd()) Fail(u"unexpected text");
    }
    [[noreturn]] void Fail(std::u16string_view what) {
        std::u16string rest(text_.substr(std::min(pos_, text_.size()), 40));
        throw ConnectionError("statement not understood (" + WideToUtf8(what) + " at \"" + WideToUtf8(rest) +
                              "\"): " + WideToUtf8(text_));
    }

private:
    std::u16string_view text_;
    size_t pos_ = 0;
};

CreateTableStatement ParseCreate(Reader& r) {
    CreateTableStatement s;
    r.ExpectKeyword(u"TABLE");
    s.table = r.Name();
    r.Expect(u'(');
    do {
        std::u16string column = r.Name();
        ColumnType type;
        if (r.TakeKeyword(u"TEXT"))
            type = ColumnType::Text;
        else if (r.TakeKeyword(u"NUMBER"))
            type = ColumnType::Number;
        else
            r.Fail(u"expected the type TEXT or NUMBER");
        s.columns.emplace_back(std::move(column), type);
    } while (r.Take(u','));
    r.Expect(u')');
    r.ExpectEnd();
    return s;
}

InsertStatement ParseInsert(Reader& r) {
    InsertStatement s;
    r.ExpectKeyword(u"INTO");
    s.table = r.Name();
    r.Expect(u'(');
    do s.columns.push_back(r.Name());
    while (r.Take(u','));
    r.Expect(u')');
    r.ExpectKeyword(u"VALUES");
    r.Expect(u'(');
    do s.values.push_back(r.Quoted());
    while (r.Take(u','));
    r.Expect(u')');
    r.ExpectEnd();
    if (s.values.size() != s.columns.size()) r.Fail(u"expected as many values as columns");
    return s;
}

}  // namespace

SqlStatement ParseSqlStatement(std::u16string_view statement) {
    Reader r(statement);
    if (r.TakeKeyword(u"CREATE")) return ParseCreate(r);
    if (r.TakeKeyword(u"INSERT")) return ParseInsert(r);
    r.Fail(u"expected CREATE TABLE or INSERT INTO");
}

}  // namespace platform
