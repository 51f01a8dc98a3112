-- Sample office data for the demo (loaded once, into a new demo database, after the office
-- tables of tests/fixtures/office.sql). Logins: MARIA/segredo and ADMIN/admin have encrypted
-- passwords, JOSE/abc123 a plain one.
SET NAMES utf8mb4;

INSERT INTO cadempresa (fantasia, endereco, numero, bairro, cidade, uf, cep, email, telefone,
                        telefone2, fax)
VALUES ('Brevanto Advocacia', 'Rua das Acácias', '120, sala 4', 'Centro', 'Campinas', 'SP',
        '13010-000', 'contato@brevanto.adv.br', '(19) 3232-4000', '(19) 99876-5432', NULL);

INSERT INTO cadusuario (login, senha, nome, email, cargo) VALUES
  ('Maria', AES_ENCRYPT('segredo', 5302), 'Maria Aparecida Souza', 'maria@brevanto.adv.br',
   'Secretária'),
  ('JOSE', 'abc123', 'José Roberto Nunes', 'jose@brevanto.adv.br', 'Estagiário'),
  ('Admin', AES_ENCRYPT('admin', 5302), 'Administrador', 'ti@brevanto.adv.br', 'TI');

INSERT INTO cadcliente (codcli, cliente, cpfcnpj, telefone) VALUES
  (1, 'Joana Pereira da Silva', '123.456.789-09', '(19) 98111-2233'),
  (2, 'Carlos Eduardo Mendes', '987.654.321-00', '(19) 3241-7788'),
  (3, 'Lúcia Helena Fernandes', '111.444.777-35', '(19) 99702-1100'),
  (4, 'Transportadora Rota Sul Ltda', '12.345.678/0001-95', '(19) 3500-9000');

-- Cases with a client name of their own, cases named only through cadcliente, and one case
-- without any client name (it never shows in the lookup).
INSERT INTO cadprocessos (CodProcesso, cliente, CodCliente, DtCadastro, Usuario, CodUsuario,
                          Beneficiario, CPFCNPJ) VALUES
  (2024001, 'Antônio Carlos Ribeiro', NULL, '2024-01-15', 'Maria', 1, 'Antônio Carlos Ribeiro',
   '222.333.444-05'),
  (2024002, NULL, 1, '2024-02-03', 'Maria', 1, 'Joana Pereira da Silva', '123.456.789-09'),
  (2024003, 'Fernanda Lima Costa', 2, '2024-02-20', 'JOSE', 2, 'Fernanda Lima Costa',
   '555.666.777-88'),
  (2024004, NULL, 3, '2024-03-11', 'JOSE', 2, 'Lúcia Helena Fernandes', '111.444.777-35'),
  (2024005, NULL, NULL, '2024-03-28', 'Admin', 3, NULL, NULL),
  (2024006, 'Marcos Vinícius Rocha', 4, '2024-04-02', 'Maria', 1, 'Marcos Vinícius Rocha',
   '333.222.111-40');

-- The PDF folder is set by scripts/demo to a folder of the user's own.
INSERT INTO cadparametos (dirpdf) VALUES ('');
