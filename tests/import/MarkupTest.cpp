// Dictionary markup reduced to the plain text an entry shows.
#include <gtest/gtest.h>

#include "base/Text.h"
#include "import/Markup.h"

namespace lexmora::test {
namespace {

TEST(Markup, ReducesToPlainText) {
  struct Case {
    std::wstring text;
    import::MarkupKind kind;
    std::wstring wanted;
  };
  using import::MarkupKind;
  const Case cases[] = {
      {L"<b>bold</b> and <i>it</i>", MarkupKind::Html, L"bold and it"},
      {L"one<br>two<br/>three<BR />four", MarkupKind::Html, L"one\ntwo\nthree\nfour"},
      {L"a\n  b\tc", MarkupKind::Html, L"a b c"},
      {L"a\nb", MarkupKind::Lines, L"a\nb"},
      {L"&lt;tag&gt; &amp;lt; &#x41;&#66; &nbsp;&unknown; &", MarkupKind::Html,
       L"<tag> &lt; AB \u00A0&unknown; &"},
      {L"<style>p{}</style>x<script>if (a<b) y()</script>z<!-- note -->", MarkupKind::Html, L"xz"},
      {L"a < b and c > d", MarkupKind::Html, L"a < b and c > d"},
      {L"<p>first</p><p>second</p>", MarkupKind::Html, L"first\nsecond\n"},
      {L"<k>word</k><def>meaning</def>", MarkupKind::Lines, L"word\nmeaning\n"},
      {L"<div>a<br><br>b</div>", MarkupKind::Html, L"a\n\nb\n"},
      {L"unclosed <b", MarkupKind::Html, L"unclosed <b"},
      {L"&#128512;&#xD800;", MarkupKind::Html, L"\U0001F600\uFFFD"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(import::StripMarkup(c.text, c.kind), c.wanted) << ToAnsi(c.text);
}

}  // namespace
}  // namespace lexmora::test
