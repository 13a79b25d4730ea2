#include "fonts/font_licence.h"

#include <hb-ot.h>
#include <hb.h>

#include <memory>

namespace quillane::fonts {

namespace {

std::string licenceName(hb_face_t* face, hb_ot_name_id_t id) {
  for (const char* language : {"ja", "en"}) {
    const hb_language_t wanted = hb_language_from_string(language, -1);
    unsigned length = hb_ot_name_get_utf8(face, id, wanted, nullptr, nullptr);
    if (length == 0) continue;
    std::string text(length + 1, '\0');
    length += 1;
    hb_ot_name_get_utf8(face, id, wanted, &length, text.data());
    text.resize(length);
    return withoutControls(text, true);
  }
  return {};
}

}  // namespace

Embedding embeddingOf(std::uint16_t fsType) {
  if ((fsType & 0x0200) != 0) return Embedding::BitmapOnly;
  if ((fsType & 0x0100) != 0) return Embedding::NoSubsetting;
  if ((fsType & 0x000E) == 0) return Embedding::Installable;
  if ((fsType & 0x0008) != 0) return Embedding::Editable;
  if ((fsType & 0x0004) != 0) return Embedding::PreviewAndPrint;
  return Embedding::Restricted;
}

bool mayEmbed(Embedding embedding) {
  return embedding == Embedding::Installable || embedding == Embedding::Editable ||
         embedding == Embedding::PreviewAndPrint;
}

std::string embeddingMessage(Embedding embedding) {
  switch (embedding) {
    case Embedding::Installable:
      return "このフォントは埋め込みが許されています（制限なし）。";
    case Embedding::Editable:
      return "このフォントは埋め込みが許されています（編集可能な埋め込み）。";
    case Embedding::PreviewAndPrint:
      return "このフォントは「プレビューと印刷」だけの埋め込みが許されています。ページで表示するのに使えますが、"
             "閲覧者がフォントを取り出して使うことは許されていません。ライセンスを確かめてください。";
    case Embedding::Restricted:
      return "このフォントは作者が埋め込みを禁じている（制限付きライセンス）ため、埋め込めません。";
    case Embedding::NoSubsetting:
      return "このフォントは作者が一部の文字だけを取り出すことを禁じているため、Web フォントにできません。";
    case Embedding::BitmapOnly:
      return "このフォントはビットマップだけの埋め込みが許されているため、Web フォントにできません。";
  }
  return {};
}

FontLicence licenceOf(const FontFile& file, const FontFace& face) {
  FontLicence licence;
  const std::unique_ptr<hb_blob_t, decltype(&hb_blob_destroy)> blob(
      hb_blob_create(file.bytes.data(), static_cast<unsigned>(file.bytes.size()), HB_MEMORY_MODE_READONLY, nullptr,
                     nullptr),
      &hb_blob_destroy);
  const std::unique_ptr<hb_face_t, decltype(&hb_face_destroy)> hbFace(hb_face_create(blob.get(), face.index),
                                                                      &hb_face_destroy);
  const std::unique_ptr<hb_blob_t, decltype(&hb_blob_destroy)> os2(
      hb_face_reference_table(hbFace.get(), HB_TAG('O', 'S', '/', '2')), &hb_blob_destroy);
  unsigned length = 0;
  const char* data = hb_blob_get_data(os2.get(), &length);
  // fsType is the big-endian 16-bit field at offset 8 of every OS/2 version.
  if (data != nullptr && length >= 10)
    licence.fsType =
        static_cast<std::uint16_t>((static_cast<unsigned char>(data[8]) << 8) | static_cast<unsigned char>(data[9]));
  licence.embedding = embeddingOf(licence.fsType);
  licence.description = licenceName(hbFace.get(), HB_OT_NAME_ID_LICENSE);
  licence.address = licenceName(hbFace.get(), HB_OT_NAME_ID_LICENSE_URL);
  return licence;
}

}  // namespace quillane::fonts
