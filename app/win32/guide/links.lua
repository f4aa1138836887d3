-- Rich text has no links between pages that every rich-text control follows, so each link and
-- each place a link can lead to is carried through as plain text between characters of
-- Unicode's private use area, which the help window takes out again when it shows the page:
--   U+E000 target U+E001 text U+E002   a link to target ("marcos.html", "#movidos")
--   U+E003 name U+E001                 the place named name, for a link to "#name"
-- Headings take the guide's maroon, as its style sheet gives them.

local LINK_START = "\u{E000}"
local TEXT_START = "\u{E001}"
local LINK_END = "\u{E002}"
local ANCHOR_START = "\u{E003}"

local function anchor(name)
  return pandoc.Str(ANCHOR_START .. name .. TEXT_START)
end

function Link(link)
  local marked = { pandoc.Str(LINK_START .. link.target .. TEXT_START) }
  for _, inline in ipairs(link.content) do
    table.insert(marked, inline)
  end
  table.insert(marked, pandoc.Str(LINK_END))
  return marked
end

function Span(span)
  if span.identifier ~= "" then
    return { anchor(span.identifier), span }
  end
end

function Header(header)
  table.insert(header.content, 1, pandoc.RawInline("rtf", "{\\cf1 "))
  table.insert(header.content, pandoc.RawInline("rtf", "}"))
  if header.identifier ~= "" then
    table.insert(header.content, 1, anchor(header.identifier))
  end
  return header
end
