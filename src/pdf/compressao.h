#pragma once
// The streams of the document compressed as PDF's FlateDecode reads them (the zlib format), by
// libdeflate: this is the only file that knows the compression library.
#include <string>
#include <string_view>

// The dictionary entry that names the filter of a compressed stream.
constexpr std::string_view kFiltroCompressao = "/Filter/FlateDecode";

// How hard to compress: a page's stream is compressed with every page, at the level that is
// best for the pages' time against the document's size; what is compressed once a document or
// a run (fonts, images, forms) as small as it goes.
enum class Compressao { rapida, maxima };

// `dados` compressed into `comprimido` (whose room is kept from call to call).
void Comprime(std::string_view dados, std::string& comprimido, Compressao compressao);
