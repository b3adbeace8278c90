// The engine side of the two file choosers of the main window's HTML group. The window shows the
// choosers (HtmlButtonClick, HtmlTemplateClick) and calls these for what it puts into its fields
// and where the template chooser starts. Plain functions over paths ("/" separated); any thread.
#pragma once

#include <string>
#include <string_view>

namespace snapfolio {

// HtmlButtonClick: the page-file chooser's confirmed path becomes the HtmlFile text, its name
// with extension only ("/x/album.html" -> "album.html"); the page always goes into the output
// directory.
std::string pageFileNameFromChoice(std::string_view chosenPath);

// HtmlTemplateClick, before the chooser opens: an empty HtmlTemplateFile field is filled with
// the working directory the program had at start-up followed by "/"; any other text stays.
std::string templateFieldBeforeChoosing(std::string_view field, std::string_view startupDirectory);

// The template chooser's initial directory: the directory part of the field, up to and with its
// last "/" ("/a/b/album.dat" -> "/a/b/"); empty when the field holds no "/".
std::string templateChooserDirectory(std::string_view field);

}  // namespace snapfolio
