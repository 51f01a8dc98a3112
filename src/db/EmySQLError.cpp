#include "db/EmySQLError.h"

#include <errmsg.h>

EmySQLError EmySQLError::Connect(const std::string& host, const std::string& serverText,
                                 unsigned int code) {
    return EmySQLError("Não foi possível conectar ao banco de dados em " + host +
                           ". Verifique se o servidor está ligado e a rede. " + serverText,
                       code, serverText);
}

EmySQLError EmySQLError::Statement(const std::string& serverText, unsigned int code) {
    if (code == CR_SERVER_GONE_ERROR || code == CR_SERVER_LOST)
        return EmySQLError(
            "A conexão com o banco de dados caiu e a operação pode não ter sido concluída. "
            "Confira o resultado e tente de novo. " +
                serverText,
            code, serverText);
    return EmySQLError(
        "O banco de dados recusou a operação. Se o erro continuar, avise o "
        "responsável pelo sistema. " +
            serverText,
        code, serverText);
}

bool EmySQLError::ConnectionLost() const {
    return code_ == CR_SERVER_GONE_ERROR || code_ == CR_SERVER_LOST;
}
