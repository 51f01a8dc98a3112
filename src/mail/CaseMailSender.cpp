#include "mail/CaseMailSender.h"

#include "mail/RecipientList.h"
#include "platform/outlook/OutlookApplication.h"

std::string ContractPath(std::string_view caminho) {
    std::string path;
    path.reserve(caminho.size());
    for (std::size_t at = 0; at < caminho.size(); ++at) {
        path += caminho[at];
        if (caminho[at] == '/' && at + 1 < caminho.size() && caminho[at + 1] == '/') ++at;
    }
    return path;
}

void SendCaseMail(const TCaseMail& mail, const std::function<bool()>& askContract) {
    auto application = outlook::TOutlookApplication::Start();
    auto item = application->CreateItem(outlook::olMailItem);
    for (std::string& recipient : RecipientList::Split(mail.para))
        item->Recipients().Add(std::move(recipient));
    item->SetSubject(mail.assunto);
    item->SetBody(mail.body);
    for (const TCaseFile& file : mail.files) {
        if (file.tipo == "CO") {
            if (askContract()) item->Attachments().Add(ContractPath(file.caminho));
        } else {
            item->Attachments().Add(file.caminho);
        }
    }
    item->Send();
}
