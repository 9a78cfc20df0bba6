// The SMTP transport on libcurl.
#include "platform/sys/mail.h"

#include <curl/curl.h>

#include <cstring>
#include <ctime>
#include <functional>
#include <memory>

#include "platform/vb/errors.h"

namespace sys {

namespace {

// The transport's failure, with the server named so that an operator can act on it.
constexpr long kSendFailed = -2147220973;

struct CurlGlobal {
  CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

struct EasyDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Header values must stay on their line: a line break in a subject or name would add headers.
std::string header_value(const std::string& text) {
  std::string out;
  for (char c : text) out.push_back(c == '\r' || c == '\n' ? ' ' : c);
  return out;
}

std::string trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

struct Upload {
  std::string text;
  std::size_t sent = 0;
};

std::size_t read_upload(char* buffer, std::size_t size, std::size_t count, void* data) {
  auto* upload = static_cast<Upload*>(data);
  const std::size_t room = size * count;
  const std::size_t n = std::min(room, upload->text.size() - upload->sent);
  std::memcpy(buffer, upload->text.data() + upload->sent, n);
  upload->sent += n;
  return n;
}

std::string rfc2822_now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];
  std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S %z", &local);
  return text;
}

}  // namespace

CurlMailTransport::CurlMailTransport() {
  static CurlGlobal global;
}

std::vector<std::string> CurlMailTransport::split_recipients(const std::string& recipients) {
  std::vector<std::string> list;
  std::size_t start = 0;
  while (start <= recipients.size()) {
    std::size_t end = recipients.find_first_of(";,", start);
    if (end == std::string::npos) end = recipients.size();
    const std::string address = trimmed(recipients.substr(start, end - start));
    if (!address.empty()) list.push_back(address);
    start = end + 1;
  }
  return list;
}

std::string CurlMailTransport::wire_text(const MailMessage& message,
                                         const std::string& date_header) {
  std::string text;
  text += "Date: " + date_header + "\r\n";
  text += "From: \"" + header_value(message.from_name) + "\" <" +
          header_value(message.from_address) + ">\r\n";
  text += "To: " + header_value(message.recipients) + "\r\n";
  text += "Subject: " + header_value(message.subject) + "\r\n";
  text += "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\n";
  text += "Content-Transfer-Encoding: 8bit\r\n\r\n";
  // Bare line feeds become CR LF, as SMTP wants.
  for (std::size_t i = 0; i < message.body.size(); ++i) {
    const char c = message.body[i];
    if (c == '\n' && (i == 0 || message.body[i - 1] != '\r')) text += '\r';
    text += c;
  }
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) text += "\r\n";
  return text;
}

namespace {

// One SMTP session with the settings' server and credentials; `configure` adds what the session
// does. Throws vb::RuntimeError, "<failure> <server>: <reason>", when it fails.
void perform_smtp(const SmtpSettings& settings, long timeout_seconds, const std::string& failure,
                  const std::function<void(CURL*)>& configure) {
  static const CurlGlobal global;
  const std::string server = settings.host + ":" + std::to_string(settings.port);
  std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
  if (!curl) throw vb::RuntimeError(kSendFailed, "The mail transport could not be created.");
  CURL* handle = curl.get();
  const std::string url = "smtp://" + server;
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, 10L);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT, timeout_seconds);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  if (settings.authenticate) {
    curl_easy_setopt(handle, CURLOPT_USERNAME, settings.username.c_str());
    curl_easy_setopt(handle, CURLOPT_PASSWORD, settings.password.c_str());
  }
  configure(handle);
  char error[CURL_ERROR_SIZE] = "";
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, error);
  const CURLcode code = curl_easy_perform(handle);
  if (code != CURLE_OK) {
    throw vb::RuntimeError(
        kSendFailed,
        failure + " " + server + ": " + (error[0] ? std::string(error) : curl_easy_strerror(code)),
        true);
  }
}

}  // namespace

void CurlMailTransport::send(const SmtpSettings& settings, const MailMessage& message) const {
  std::unique_ptr<curl_slist, ListDeleter> recipients;
  for (const std::string& address : split_recipients(message.recipients)) {
    recipients.reset(curl_slist_append(recipients.release(), ("<" + address + ">").c_str()));
  }
  if (!recipients) {
    throw vb::RuntimeError(kSendFailed, "The message has no recipient.", true);
  }
  Upload upload{wire_text(message, rfc2822_now())};
  const std::string from = "<" + message.from_address + ">";
  perform_smtp(settings, 30L, "The message could not be sent to the mail server",
               [&](CURL* handle) {
                 curl_easy_setopt(handle, CURLOPT_MAIL_FROM, from.c_str());
                 curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, recipients.get());
                 curl_easy_setopt(handle, CURLOPT_READFUNCTION, read_upload);
                 curl_easy_setopt(handle, CURLOPT_READDATA, &upload);
                 curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
               });
}

void probe_smtp(const SmtpSettings& settings) {
  perform_smtp(settings, 20L, "The mail server did not answer at", [](CURL* handle) {
    curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, "NOOP");
    curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
  });
}

}  // namespace sys
