#include "platform/outlook/MimeMessage.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <random>
#include <utility>

#include <gmime/gmime.h>

#include "platform/outlook/GObjectPtr.h"
#include "platform/outlook/OleException.h"

namespace outlook {
namespace {

void initGMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// GMime writes every line end as CR LF on output, so the content is given with LF only.
std::string withUnixLineEnds(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        result += text[i];
    }
    return result;
}

// Names are encoded as UTF-8, not as the narrowest charset that would hold them.
void addMailbox(GMimeMessage* message, GMimeAddressType type, const TMailbox& mailbox) {
    GObjectPtr<InternetAddress> address(internet_address_mailbox_new(
        mailbox.Name.empty() ? nullptr : mailbox.Name.c_str(), mailbox.Address.c_str()));
    internet_address_set_charset(address.get(), "utf-8");
    internet_address_list_add(g_mime_message_get_addresses(message, type), address.get());
}

GObjectPtr<GMimeDataWrapper> contentOf(std::string_view bytes) {
    GObjectPtr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size()));
    return GObjectPtr<GMimeDataWrapper>(
        g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
}

void setUtf8(GMimeParamList* parameters, const char* name) {
    if (GMimeParam* parameter = g_mime_param_list_get_parameter(parameters, name))
        g_mime_param_set_charset(parameter, "utf-8");
}

// The same content gives the same boundary. "=-" never occurs in base64 or quoted-printable
// text, so no part can contain the boundary line.
std::string boundaryFor(const TMailContent& content) {
    GChecksum* checksum = g_checksum_new(G_CHECKSUM_SHA256);
    const auto add = [checksum](std::string_view text) {
        g_checksum_update(checksum, reinterpret_cast<const guchar*>(text.data()),
                          static_cast<gssize>(text.size()));
        g_checksum_update(checksum, reinterpret_cast<const guchar*>("\0"), 1);
    };
    add(content.Subject);
    add(content.Body);
    for (const TMailAttachment& attachment : content.Attachments) {
        add(attachment.FileName);
        add(attachment.ContentType);
        add(attachment.Bytes);
    }
    const std::string digest = g_checksum_get_string(checksum);
    g_checksum_free(checksum);
    return "=-" + digest.substr(0, 32);
}

GObjectPtr<GMimeObject> textPart(const std::string& body) {
    GObjectPtr<GMimeTextPart> part(g_mime_text_part_new_with_subtype("plain"));
    // The text as it is, UTF-8; setting it as text would convert it to the narrowest charset.
    g_mime_part_set_content(GMIME_PART(part.get()), contentOf(withUnixLineEnds(body)).get());
    g_mime_text_part_set_charset(part.get(), "utf-8");
    g_mime_part_set_content_encoding(GMIME_PART(part.get()),
                                     g_mime_part_get_best_content_encoding(
                                         GMIME_PART(part.get()), GMIME_ENCODING_CONSTRAINT_7BIT));
    return GObjectPtr<GMimeObject>(GMIME_OBJECT(part.release()));
}

GObjectPtr<GMimeObject> attachmentPart(const TMailAttachment& attachment) {
    const std::string type = attachment.ContentType;
    const auto slash = type.find('/');
    GObjectPtr<GMimePart> part(g_mime_part_new_with_type(
        type.substr(0, slash).c_str(),
        slash == std::string::npos ? "octet-stream" : type.substr(slash + 1).c_str()));
    g_mime_part_set_content(part.get(), contentOf(attachment.Bytes).get());
    GMimeObject* object = GMIME_OBJECT(part.get());
    g_mime_object_set_disposition(object, "attachment");
    g_mime_part_set_filename(part.get(), attachment.FileName.c_str());
    setUtf8(g_mime_content_type_get_parameters(g_mime_object_get_content_type(object)), "name");
    GMimeContentDisposition* disposition = g_mime_object_get_content_disposition(object);
    setUtf8(g_mime_content_disposition_get_parameters(disposition), "filename");
    // Set again so the headers are written with the changed charset.
    g_mime_object_set_content_type(object, g_mime_object_get_content_type(object));
    g_mime_object_set_content_disposition(object, disposition);
    g_mime_part_set_content_encoding(part.get(), GMIME_CONTENT_ENCODING_BASE64);
    return GObjectPtr<GMimeObject>(GMIME_OBJECT(part.release()));
}

}  // namespace

std::optional<TMailbox> ParseMailbox(std::string_view text) {
    initGMime();
    // A line break in an address would start a header of its own.
    if (std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20; }))
        return std::nullopt;
    const std::string copy(text);
    GObjectPtr<InternetAddressList> list(internet_address_list_parse(nullptr, copy.c_str()));
    if (!list || internet_address_list_length(list.get()) != 1) return std::nullopt;
    InternetAddress* address = internet_address_list_get_address(list.get(), 0);
    if (!INTERNET_ADDRESS_IS_MAILBOX(address)) return std::nullopt;
    const char* addr = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address));
    const std::string mailAddress = addr != nullptr ? addr : "";
    const auto at = mailAddress.rfind('@');
    if (at == std::string::npos || at == 0 || at + 1 == mailAddress.size() ||
        mailAddress.find_first_of(" <>\"") != std::string::npos)
        return std::nullopt;
    const char* name = internet_address_get_name(address);
    return TMailbox{name != nullptr ? name : "", mailAddress};
}

std::string ContentTypeOf(std::string_view fileName) {
    static const std::pair<const char*, const char*> kTypes[] = {
        {".pdf", "application/pdf"},
        {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"},
        {".png", "image/png"},
        {".bmp", "image/bmp"},
        {".gif", "image/gif"},
        {".tif", "image/tiff"},
        {".tiff", "image/tiff"},
        {".txt", "text/plain"},
        {".zip", "application/zip"},
        {".doc", "application/msword"},
        {".docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
        {".xls", "application/vnd.ms-excel"},
        {".xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
        {".odt", "application/vnd.oasis.opendocument.text"},
        {".rtf", "application/rtf"},
    };
    const std::string name = lower(fileName);
    for (const auto& [extension, type] : kTypes)
        if (name.ends_with(extension)) return type;
    return "application/octet-stream";
}

TMessageStamp NewMessageStamp(const TMailbox& from) {
    const auto at = from.Address.rfind('@');
    const std::string domain =
        at == std::string::npos ? std::string("localhost") : from.Address.substr(at + 1);
    std::random_device random;
    std::string unique;
    for (int i = 0; i < 4; ++i) {
        char part[9];
        std::snprintf(part, sizeof part, "%08x", random());
        unique += part;
    }
    return {std::time(nullptr), unique + "@" + domain};
}

std::string BuildMimeMessage(const TMailContent& content, const TMessageStamp& stamp) {
    initGMime();
    GObjectPtr<GMimeMessage> message(g_mime_message_new(TRUE));
    addMailbox(message.get(), GMIME_ADDRESS_TYPE_FROM, content.From);
    for (const TMailbox& to : content.To) addMailbox(message.get(), GMIME_ADDRESS_TYPE_TO, to);
    g_mime_message_set_subject(message.get(), content.Subject.c_str(), "utf-8");
    GDateTime* date = g_date_time_new_from_unix_local(stamp.Date);
    g_mime_message_set_date(message.get(), date);
    g_date_time_unref(date);
    g_mime_message_set_message_id(message.get(), stamp.MessageId.c_str());
    g_mime_object_set_header(GMIME_OBJECT(message.get()), "MIME-Version", "1.0", nullptr);

    if (content.Attachments.empty()) {
        g_mime_message_set_mime_part(message.get(), textPart(content.Body).get());
    } else {
        GObjectPtr<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));
        g_mime_multipart_set_boundary(mixed.get(), boundaryFor(content).c_str());
        g_mime_multipart_add(mixed.get(), textPart(content.Body).get());
        for (const TMailAttachment& attachment : content.Attachments)
            g_mime_multipart_add(mixed.get(), attachmentPart(attachment).get());
        g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(mixed.get()));
    }

    GMimeFormatOptions* options = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
    GObjectPtr<GMimeStream> out(g_mime_stream_mem_new());
    const ssize_t written =
        g_mime_object_write_to_stream(GMIME_OBJECT(message.get()), options, out.get());
    g_mime_format_options_free(options);
    if (written < 0) throw EOleException("The message could not be put together.");
    const GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

}  // namespace outlook
