<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_PT" sourcelanguage="en_US">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About %1</source>
        <translation>Acerca de %1</translation>
    </message>
    <message>
        <source>Copyright © 2026 %1. All rights reserved.</source>
        <translation>Copyright © 2026 %1. Todos os direitos reservados.</translation>
    </message>
    <message>
        <source>%1 uses &lt;a href=aboutqt&gt;Qt library&lt;/a&gt; under GNU LGPL 2.1.</source>
        <translation>O %1 utiliza a &lt;a href=aboutqt&gt;biblioteca Qt&lt;/a&gt; ao abrigo da GNU LGPL 2.1.</translation>
    </message>
    <message>
        <source>&lt;a href=eula&gt;End-user license agreement&lt;/a&gt; used by %1.</source>
        <translation>&lt;a href=eula&gt;Contrato de licença de utilizador final&lt;/a&gt; do %1.</translation>
    </message>
    <message>
        <source>%1 web-site &lt;a href=%2&gt;%3&lt;/a&gt;.</source>
        <translation>Site do %1: &lt;a href=%2&gt;%3&lt;/a&gt;.</translation>
    </message>
    <message>
        <source>Update to %1 is available! &lt;a href=&quot;%2&quot;&gt;Download...&lt;/a&gt;</source>
        <translation>Está disponível a atualização para a versão %1! &lt;a href=&quot;%2&quot;&gt;Transferir...&lt;/a&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>About Qt Library</source>
        <translation>Acerca da biblioteca Qt</translation>
    </message>
</context>
<context>
    <name>AccessibleText</name>
    <message>
        <source>due %1</source>
        <comment>a date</comment>
        <translation>prazo: %1</translation>
    </message>
    <message>
        <source>overdue since %1</source>
        <translation>em atraso desde %1</translation>
    </message>
    <message>
        <source>due today</source>
        <translation>prazo hoje</translation>
    </message>
    <message>
        <source>due tomorrow</source>
        <translation>prazo amanhã</translation>
    </message>
    <message>
        <source>due %1</source>
        <comment>a weekday</comment>
        <translation>prazo: %1</translation>
    </message>
    <message>
        <source>Unnamed task</source>
        <translation>Tarefa sem nome</translation>
    </message>
    <message>
        <source>has notes</source>
        <translation>tem notas</translation>
    </message>
    <message>
        <source>in %1</source>
        <comment>the group a found task is in</comment>
        <translation>em %1</translation>
    </message>
    <message>
        <source>completed</source>
        <translation>concluída</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Grupos</translation>
    </message>
    <message>
        <source>Found tasks</source>
        <translation>Tarefas encontradas</translation>
    </message>
    <message>
        <source>Completed</source>
        <comment>the check box of a task</comment>
        <translation>Concluída</translation>
    </message>
    <message numerus="yes">
        <source>%n due today or overdue</source>
        <translation>
            <numerusform>%n com prazo hoje ou em atraso</numerusform>
            <numerusform>%n com prazo hoje ou em atraso</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n due in the next three days</source>
        <translation>
            <numerusform>%n com prazo nos próximos três dias</numerusform>
            <numerusform>%n com prazo nos próximos três dias</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n due later or undated</source>
        <translation>
            <numerusform>%n mais tarde ou sem prazo</numerusform>
            <numerusform>%n mais tarde ou sem prazo</numerusform>
        </translation>
    </message>
    <message>
        <source>repeats %1</source>
        <comment>how a task repeats</comment>
        <translation>repete-se %1</translation>
    </message>
    <message numerus="yes">
        <source>%n task</source>
        <translation>
            <numerusform>%n tarefa</numerusform>
            <numerusform>%n tarefas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n tasks</source>
        <translation>
            <numerusform>%n tarefa</numerusform>
            <numerusform>%n tarefas</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CalendarImport</name>
    <message>
        <source>Import iCalendar file</source>
        <translation>Importar ficheiro iCalendar</translation>
    </message>
    <message>
        <source>iCalendar files (*.ics)</source>
        <translation>Ficheiros iCalendar (*.ics)</translation>
    </message>
    <message numerus="yes">
        <source>%n task added</source>
        <translation>
            <numerusform>%n tarefa adicionada</numerusform>
            <numerusform>%n tarefas adicionadas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n tasks added</source>
        <translation>
            <numerusform>%n tarefa adicionada</numerusform>
            <numerusform>%n tarefas adicionadas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n updated</source>
        <translation>
            <numerusform>%n atualizada</numerusform>
            <numerusform>%n atualizadas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n task updated</source>
        <translation>
            <numerusform>%n tarefa atualizada</numerusform>
            <numerusform>%n tarefas atualizadas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n tasks updated</source>
        <translation>
            <numerusform>%n tarefa atualizada</numerusform>
            <numerusform>%n tarefas atualizadas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n was here already.</source>
        <translation>
            <numerusform>%n já cá estava.</numerusform>
            <numerusform>%n já cá estavam.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n were here already.</source>
        <translation>
            <numerusform>%n já cá estava.</numerusform>
            <numerusform>%n já cá estavam.</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing new: the task of the file is here already.</source>
        <translation>Nada de novo: a tarefa do ficheiro já cá está.</translation>
    </message>
    <message numerus="yes">
        <source>Nothing new: the %n tasks of the file are here already.</source>
        <translation>
            <numerusform>Nada de novo: a %n tarefa do ficheiro já cá está.</numerusform>
            <numerusform>Nada de novo: as %n tarefas do ficheiro já cá estão.</numerusform>
        </translation>
    </message>
    <message>
        <source>The file could not be read.</source>
        <translation>Não foi possível ler o ficheiro.</translation>
    </message>
    <message numerus="yes">
        <source>%n files could not be read.</source>
        <translation>
            <numerusform>Não foi possível ler %n ficheiro.</numerusform>
            <numerusform>Não foi possível ler %n ficheiros.</numerusform>
        </translation>
    </message>
    <message>
        <source>No task of the file could be read.</source>
        <translation>Não foi possível ler nenhuma tarefa do ficheiro.</translation>
    </message>
    <message>
        <source>No task of the files could be read.</source>
        <translation>Não foi possível ler nenhuma tarefa dos ficheiros.</translation>
    </message>
    <message numerus="yes">
        <source>%n task could not be read and was left out.</source>
        <translation>
            <numerusform>Não foi possível ler %n tarefa, que ficou de fora.</numerusform>
            <numerusform>Não foi possível ler %n tarefas, que ficaram de fora.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n tasks could not be read and were left out.</source>
        <translation>
            <numerusform>Não foi possível ler %n tarefa, que ficou de fora.</numerusform>
            <numerusform>Não foi possível ler %n tarefas, que ficaram de fora.</numerusform>
        </translation>
    </message>
    <message>
        <source>The file holds no tasks.</source>
        <translation>O ficheiro não contém tarefas.</translation>
    </message>
    <message numerus="yes">
        <source>… and %n more.</source>
        <translation>
            <numerusform>… e mais %n.</numerusform>
            <numerusform>… e mais %n.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 is given more than once</source>
        <translation>a opção %1 foi indicada mais do que uma vez</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>a opção %1 precisa de um valor</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>opção desconhecida %1</translation>
    </message>
    <message>
        <source>unexpected argument %1 (a task name with spaces needs quotes)</source>
        <translation>argumento inesperado %1 (um nome de tarefa com espaços tem de estar entre aspas)</translation>
    </message>
    <message>
        <source>%1 works only together with --add</source>
        <translation>a opção %1 só funciona em conjunto com --add</translation>
    </message>
    <message>
        <source>--add needs the name of the task</source>
        <translation>a opção --add precisa do nome da tarefa</translation>
    </message>
    <message>
        <source>cannot read the due date %1: use YYYY-MM-DD, today, tomorrow or a weekday name</source>
        <translation>não é possível interpretar a data limite %1: use YYYY-MM-DD, today, tomorrow ou o nome de um dia da semana</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>Utilização:</translation>
    </message>
    <message>
        <source>Without options %1 starts, or brings the running %1 to the front.</source>
        <translation>Sem opções, inicia o %1 ou, se o %1 já estiver em execução,
traz a sua janela para a frente.</translation>
    </message>
    <message>
        <source>DATE is YYYY-MM-DD, today, tomorrow or a weekday name (friday, fri):
the next such day, today included.</source>
        <translation>DATE é YYYY-MM-DD, today, tomorrow ou o nome de um dia da semana
(friday, fri, sexta-feira, sexta): o próximo dia com esse nome, incluindo hoje.</translation>
    </message>
    <message>
        <source>A running %1 adds the task itself and leaves its window as it is.</source>
        <translation>Se o %1 já estiver em execução, adiciona ele próprio a tarefa
e deixa a sua janela tal como está.</translation>
    </message>
    <message>
        <source>Exit status: 0 done, 1 the task could not be added, 2 a wrong command line,
3 taken by the running %1 but not confirmed as written: it may still appear.</source>
        <translation>Código de saída: 0 concluído, 1 não foi possível adicionar a tarefa,
2 linha de comandos incorreta, 3 recebida pelo %1 em execução mas sem confirmação
de que foi gravada: ainda pode aparecer.</translation>
    </message>
    <message>
        <source>Add a task named NAME to the Inbox and exit.</source>
        <translation>Adiciona a tarefa NAME à Caixa de entrada e sai.</translation>
    </message>
    <message>
        <source>The new task&apos;s notes.</source>
        <translation>As notas da nova tarefa.</translation>
    </message>
    <message>
        <source>The new task&apos;s due date.</source>
        <translation>A data limite da nova tarefa.</translation>
    </message>
    <message>
        <source>Open the install wizard.</source>
        <translation>Abre o assistente de instalação.</translation>
    </message>
    <message>
        <source>Open the uninstall wizard.</source>
        <translation>Abre o assistente de desinstalação.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Mostra esta ajuda e sai.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Mostra a versão e sai.</translation>
    </message>
    <message>
        <source>%1 works only together with --sync-account</source>
        <translation>%1 só funciona em conjunto com --sync-account</translation>
    </message>
    <message>
        <source>%1 works only together with --sync or --sync-account</source>
        <translation>%1 só funciona em conjunto com --sync ou --sync-account</translation>
    </message>
    <message>
        <source>--sync-account needs --user NAME</source>
        <translation>--sync-account precisa de --user NOME</translation>
    </message>
    <message>
        <source>%1 and %2 cannot be given together</source>
        <translation>%1 e %2 não podem ser indicados em conjunto</translation>
    </message>
    <message>
        <source>With --sync and --sync-account: 0 synced, 1 sync failed (the message says why),
2 a wrong command line, 4 the server cannot be reached (nothing is lost: try later),
5 the server refused the user name or password.</source>
        <translation>Com --sync e --sync-account: 0 sincronizado, 1 a sincronização falhou (a mensagem diz porquê),
2 linha de comandos incorreta, 4 não é possível contactar o servidor (nada se perde: tente mais tarde),
5 o servidor recusou o nome de utilizador ou a palavra-passe.</translation>
    </message>
    <message>
        <source>Sync the tasks with the CalDAV account once and exit.</source>
        <translation>Sincronizar as tarefas com a conta CalDAV uma vez e sair.</translation>
    </message>
    <message>
        <source>Set up the CalDAV account at URL (a server or a task list)
                    and pair its task lists with the groups.</source>
        <translation>Configurar a conta CalDAV em URL (um servidor ou uma lista de tarefas)
                    e associar as suas listas de tarefas aos grupos.</translation>
    </message>
    <message>
        <source>The account&apos;s user name.</source>
        <translation>O nome de utilizador da conta.</translation>
    </message>
    <message>
        <source>Read the account&apos;s password from standard input
                    (where no secret store keeps it).</source>
        <translation>Ler a palavra-passe da conta da entrada padrão
                    (onde nenhum cofre de palavras-passe a guarda).</translation>
    </message>
</context>
<context>
    <name>DateWidget</name>
    <message>
        <source>Due date</source>
        <translation>Data limite</translation>
    </message>
</context>
<context>
    <name>DavClient</name>
    <message>
        <source>The server refused the user name or password.</source>
        <translation>O servidor recusou o nome de utilizador ou a palavra-passe.</translation>
    </message>
    <message>
        <source>The server does not allow this for %1.</source>
        <translation>O servidor não permite isto para %1.</translation>
    </message>
    <message>
        <source>%1 is not on the server.</source>
        <translation>%1 não está no servidor.</translation>
    </message>
    <message>
        <source>%1 was changed on the server in the meantime.</source>
        <translation>%1 foi alterado no servidor entretanto.</translation>
    </message>
    <message>
        <source>The server failed with status %1 for %2.</source>
        <translation>O servidor falhou com o estado %1 para %2.</translation>
    </message>
    <message>
        <source>The server refused the request for %1 with status %2.</source>
        <translation>O servidor recusou o pedido para %1 com o estado %2.</translation>
    </message>
    <message>
        <source>The sync was stopped.</source>
        <translation>A sincronização foi interrompida.</translation>
    </message>
    <message>
        <source>%1 is not an encrypted (https) address; only this computer may be reached without encryption.</source>
        <translation>%1 não é um endereço cifrado (https); só este computador pode ser contactado sem cifra.</translation>
    </message>
    <message>
        <source>The answer from %1 is larger than 256 MiB.</source>
        <translation>A resposta de %1 é maior do que 256 MiB.</translation>
    </message>
    <message>
        <source>%1 did not answer within %2 seconds.</source>
        <translation>%1 não respondeu em %2 segundos.</translation>
    </message>
    <message>
        <source>The server&apos;s certificate for %1 is not trusted: %2.</source>
        <translation>O certificado do servidor para %1 não é de confiança: %2.</translation>
    </message>
    <message>
        <source>The connection to %1 failed: %2.</source>
        <translation>A ligação a %1 falhou: %2.</translation>
    </message>
    <message>
        <source>The connection to %1 broke off before the whole answer arrived.</source>
        <translation>A ligação a %1 foi interrompida antes de chegar a resposta completa.</translation>
    </message>
    <message>
        <source>The server at %1 redirected nowhere.</source>
        <translation>O servidor em %1 redirecionou para lado nenhum.</translation>
    </message>
    <message>
        <source>The server at %1 redirected too many times.</source>
        <translation>O servidor em %1 redirecionou demasiadas vezes.</translation>
    </message>
    <message>
        <source>The server at %1 redirected to an unencrypted address.</source>
        <translation>O servidor em %1 redirecionou para um endereço não cifrado.</translation>
    </message>
    <message>
        <source>The server&apos;s answer is not WebDAV XML.</source>
        <translation>A resposta do servidor não é XML WebDAV.</translation>
    </message>
    <message>
        <source>The server&apos;s answer could not be read: %1.</source>
        <translation>Não foi possível ler a resposta do servidor: %1.</translation>
    </message>
    <message>
        <source>The server at %1 does not say where this user&apos;s task lists are.</source>
        <translation>O servidor em %1 não indica onde estão as listas de tarefas deste utilizador.</translation>
    </message>
    <message>
        <source>The server at %1 has no calendar home for this user.</source>
        <translation>O servidor em %1 não tem uma pasta de calendários para este utilizador.</translation>
    </message>
    <message>
        <source>%1 is not a task list on the server.</source>
        <translation>%1 não é uma lista de tarefas no servidor.</translation>
    </message>
    <message>
        <source>Something already exists at %1 on the server.</source>
        <translation>Já existe algo em %1 no servidor.</translation>
    </message>
    <message>
        <source>The server no longer knows the state of %1 from the last sync.</source>
        <translation>O servidor já não conhece o estado de %1 da última sincronização.</translation>
    </message>
    <message>
        <source>The server&apos;s answer for %1 has no sync token.</source>
        <translation>A resposta do servidor para %1 não tem marca de sincronização.</translation>
    </message>
    <message>
        <source>A secure connection to %1 could not be made (%2); does the server offer https on that port?</source>
        <translation>Não foi possível estabelecer uma ligação segura a %1 (%2); o servidor oferece https nessa porta?</translation>
    </message>
</context>
<context>
    <name>DueReminder</name>
    <message numerus="yes">
        <source>%n task(s) due today</source>
        <translation>
            <numerusform>%n tarefa para hoje</numerusform>
            <numerusform>%n tarefas para hoje</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n task(s) overdue</source>
        <translation>
            <numerusform>%n tarefa em atraso</numerusform>
            <numerusform>%n tarefas em atraso</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2</source>
        <comment>tasks due today, tasks overdue</comment>
        <translation>%1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%n overdue</source>
        <translation>
            <numerusform>%n em atraso</numerusform>
            <numerusform>%n em atraso</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>e mais %n</numerusform>
            <numerusform>e mais %n</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>EditGroupDialog</name>
    <message>
        <source>New group</source>
        <translation>Novo grupo</translation>
    </message>
    <message>
        <source>Group properties</source>
        <translation>Propriedades do grupo</translation>
    </message>
    <message>
        <source>&lt;strong&gt;Icon selection&lt;/strong&gt;</source>
        <translation>&lt;strong&gt;Seleção de ícone&lt;/strong&gt;</translation>
    </message>
    <message>
        <source>&lt;strong&gt;Group name&lt;/strong&gt;</source>
        <translation>&lt;strong&gt;Nome do grupo&lt;/strong&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Please enter a group name to continue...</source>
        <translation>Introduza um nome para o grupo para continuar...</translation>
    </message>
    <message>
        <source>Ok, now we all know that you&apos;re funny! Wanna play a real game?</source>
        <translation>Pronto, já todos percebemos que tem sentido de humor! Que tal jogar um jogo a sério?</translation>
    </message>
</context>
<context>
    <name>EulaDialog</name>
    <message>
        <source>%1 License Agreement</source>
        <translation>Contrato de licença do %1</translation>
    </message>
    <message>
        <source>Scroll down to read the rest of the license agreement.</source>
        <translation>Desloque para baixo para ler o resto do contrato de licença.</translation>
    </message>
    <message>
        <source>Accept</source>
        <translation>Aceitar</translation>
    </message>
    <message>
        <source>Reject</source>
        <translation>Rejeitar</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Unable to read a license file. Please, report this issue.</source>
        <translation>Não foi possível ler o ficheiro da licença. Por favor, comunique este problema.</translation>
    </message>
</context>
<context>
    <name>ExportDialog</name>
    <message>
        <source>Export to</source>
        <translation>Exportar para</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportar</translation>
    </message>
    <message>
        <source>&lt;strong&gt;Select the groups you want to export&lt;/strong&gt;</source>
        <translation>&lt;strong&gt;Selecione os grupos que pretende exportar&lt;/strong&gt;</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Selecionar todos</translation>
    </message>
    <message>
        <source>Select none</source>
        <translation>Desmarcar todos</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Failed to open file &quot;%1&quot; for writing.</source>
        <translation>Não foi possível abrir o ficheiro &quot;%1&quot; para escrita.</translation>
    </message>
    <message>
        <source>Failed to write file &quot;%1&quot;.</source>
        <translation>Não foi possível escrever o ficheiro &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>iCalendar files (*.ics)</source>
        <translation>Ficheiros iCalendar (*.ics)</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Ficheiros de texto (*.txt)</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Formato:</translation>
    </message>
    <message>
        <source>Plain text (.txt)</source>
        <translation>Texto simples (.txt)</translation>
    </message>
    <message>
        <source>iCalendar (.ics)</source>
        <translation>iCalendar (.ics)</translation>
    </message>
</context>
<context>
    <name>FancyWizard</name>
    <message>
        <source>&lt; Back</source>
        <translation>&lt; Anterior</translation>
    </message>
    <message>
        <source>Next &gt;</source>
        <translation>Seguinte &gt;</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find tasks</source>
        <translation>Procurar tarefas</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Limpar</translation>
    </message>
</context>
<context>
    <name>FocusGroup</name>
    <message>
        <source>Inbox</source>
        <translation>Caixa de entrada</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Lixo</translation>
    </message>
    <message>
        <source>Completed</source>
        <translation>Concluídas</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Hoje</translation>
    </message>
    <message>
        <source>Upcoming</source>
        <translation>Próximos dias</translation>
    </message>
</context>
<context>
    <name>FocusGroupListWidget</name>
    <message>
        <source>Edit</source>
        <translation>Editar</translation>
    </message>
    <message>
        <source>Add group</source>
        <translation>Adicionar grupo</translation>
    </message>
    <message>
        <source>Empty</source>
        <translation>Esvaziar</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Remover</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Exportar...</translation>
    </message>
    <message>
        <source>Empty %1</source>
        <translation>Esvaziar %1</translation>
    </message>
    <message>
        <source>Do you really want to remove the selected group?</source>
        <translation>Tem a certeza de que pretende remover o grupo selecionado?</translation>
    </message>
    <message>
        <source>Once your tasks leave the trash group you can&apos;t get them back. Continue?</source>
        <translation>Depois de saírem do Lixo, as tarefas não podem ser recuperadas. Continuar?</translation>
    </message>
    <message>
        <source>New group</source>
        <translation>Novo grupo</translation>
    </message>
    <message>
        <source>Edit group</source>
        <translation>Editar grupo</translation>
    </message>
    <message>
        <source>Remove group</source>
        <translation>Remover grupo</translation>
    </message>
    <message>
        <source>Empty Trash</source>
        <translation>Esvaziar o Lixo</translation>
    </message>
</context>
<context>
    <name>FocusGroupWidget</name>
    <message>
        <source>Copy to group</source>
        <translation>Copiar para o grupo</translation>
    </message>
    <message>
        <source>Move to group</source>
        <translation>Mover para o grupo</translation>
    </message>
    <message>
        <source>Move group</source>
        <translation>Mover grupo</translation>
    </message>
</context>
<context>
    <name>FocusIconCatalogue</name>
    <message>
        <source>Starred</source>
        <translation>Com estrela</translation>
    </message>
    <message>
        <source>Blue Star</source>
        <translation>Estrela azul</translation>
    </message>
    <message>
        <source>Green Star</source>
        <translation>Estrela verde</translation>
    </message>
    <message>
        <source>Red Star</source>
        <translation>Estrela vermelha</translation>
    </message>
    <message>
        <source>Yellow Star</source>
        <translation>Estrela amarela</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Caixa de entrada</translation>
    </message>
    <message>
        <source>Completed</source>
        <translation>Concluídas</translation>
    </message>
    <message>
        <source>To Check</source>
        <translation>A verificar</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Lixo</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Casa</translation>
    </message>
    <message>
        <source>Internet</source>
        <translation>Internet</translation>
    </message>
    <message>
        <source>Some Day</source>
        <translation>Um dia</translation>
    </message>
    <message>
        <source>Party Time</source>
        <translation>Festa</translation>
    </message>
    <message>
        <source>Calls</source>
        <translation>Chamadas</translation>
    </message>
    <message>
        <source>Money</source>
        <translation>Dinheiro</translation>
    </message>
</context>
<context>
    <name>GroupHintWidget</name>
    <message>
        <source>&lt;html&gt;&lt;head&gt;&lt;style&gt;a { color: #1b75bb; text-decoration: none; } &lt;/style&gt;&lt;/head&gt;&lt;body&gt;This is Inbox, a default group to hold all new incoming tasks.&lt;br&gt;Looks like it&apos;s empty right now. Lets have some fun, &lt;a href=inboxheadstart&gt;click here&lt;/a&gt; to fill it up with some predefined tasks.&lt;br&gt;&lt;br&gt;Use &quot;Add group&quot; from the context menu on the group panel to add another group.&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head&gt;&lt;style&gt;a { color: #1b75bb; text-decoration: none; } &lt;/style&gt;&lt;/head&gt;&lt;body&gt;Esta é a Caixa de entrada, o grupo predefinido que recebe todas as tarefas novas.&lt;br&gt;Parece que, de momento, está vazia. Vamos divertir-nos: &lt;a href=inboxheadstart&gt;clique aqui&lt;/a&gt; para a preencher com algumas tarefas predefinidas.&lt;br&gt;&lt;br&gt;Para adicionar outro grupo, utilize &quot;Adicionar grupo&quot; no menu de contexto do painel de grupos.&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Trash group holds all the tasks that you have ever deleted.&lt;br&gt;You can restore deleted tasks by dragging them back to one of the existing groups.&lt;br&gt;&lt;br&gt;If you delete a task from Trash - it&apos;s gone...</source>
        <translation>O Lixo guarda todas as tarefas que eliminou.&lt;br&gt;Pode restaurar as tarefas eliminadas arrastando-as de volta para um dos grupos existentes.&lt;br&gt;&lt;br&gt;Se eliminar uma tarefa do Lixo, desaparece de vez...</translation>
    </message>
    <message>
        <source>This group holds all the tasks that were completed by you and logged.</source>
        <translation>Este grupo guarda o registo de todas as tarefas que concluiu.</translation>
    </message>
    <message>
        <source>This is your custom group.&lt;br&gt;&lt;br&gt;Add more groups to focus on similar tasks</source>
        <translation>Este é um grupo criado por si.&lt;br&gt;&lt;br&gt;Adicione mais grupos para se concentrar em tarefas semelhantes</translation>
    </message>
</context>
<context>
    <name>InstallOptionsPage</name>
    <message>
        <source>Installation options</source>
        <translation>Opções de instalação</translation>
    </message>
    <message>
        <source>Set installation options and continue.</source>
        <translation>Defina as opções de instalação e continue.</translation>
    </message>
    <message>
        <source>Start menu items</source>
        <translation>Atalhos no menu de aplicações</translation>
    </message>
    <message>
        <source>Desktop icon</source>
        <translation>Atalho no ambiente de trabalho</translation>
    </message>
</context>
<context>
    <name>InstallProgressPage</name>
    <message>
        <source>Installation progress</source>
        <translation>Progresso da instalação</translation>
    </message>
    <message>
        <source>%1 is being installed, wait for it to finish.</source>
        <translation>O %1 está a ser instalado. Aguarde a conclusão.</translation>
    </message>
    <message>
        <source>Uninstallation progress</source>
        <translation>Progresso da desinstalação</translation>
    </message>
    <message>
        <source>%1 is being uninstalled, wait for it to finish.</source>
        <translation>O %1 está a ser desinstalado. Aguarde a conclusão.</translation>
    </message>
</context>
<context>
    <name>InstallWizard</name>
    <message>
        <source>Install %1</source>
        <translation>Instalação do %1</translation>
    </message>
    <message>
        <source>Do you really want to cancel the installation?</source>
        <translation>Tem a certeza de que pretende cancelar a instalação?</translation>
    </message>
    <message>
        <source>%1 was successfully installed!</source>
        <translation>O %1 foi instalado com êxito!</translation>
    </message>
    <message>
        <source>Sorry! Installation failed for some reason.</source>
        <translation>Lamentamos, mas a instalação falhou por um motivo desconhecido.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Compact</source>
        <translation>Compacta</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Grupos</translation>
    </message>
    <message>
        <source>Tasks</source>
        <translation>Tarefas</translation>
    </message>
</context>
<context>
    <name>MyCalendar</name>
    <message>
        <source>Previous month</source>
        <translation>Mês anterior</translation>
    </message>
    <message>
        <source>Reset to current date</source>
        <translation>Repor a data atual</translation>
    </message>
    <message>
        <source>Next month</source>
        <translation>Mês seguinte</translation>
    </message>
    <message>
        <source>%0, %1</source>
        <translation>%0 de %1</translation>
    </message>
</context>
<context>
    <name>MyCalendarMonthWidget</name>
    <message>
        <source>Today</source>
        <translation>Hoje</translation>
    </message>
</context>
<context>
    <name>PasswordPrompt</name>
    <message>
        <source>%1 Sync</source>
        <translation>Sincronização do %1</translation>
    </message>
    <message>
        <source>The server refused the password for %1 at %2. Enter it again:</source>
        <translation>O servidor recusou a palavra-passe de %1 em %2. Introduza-a de novo:</translation>
    </message>
    <message>
        <source>Enter the password for %1 at %2:</source>
        <translation>Introduza a palavra-passe de %1 em %2:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Palavra-passe</translation>
    </message>
</context>
<context>
    <name>PrefsDialog</name>
    <message>
        <source>%1 Preferences</source>
        <translation>Preferências do %1</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Geral</translation>
    </message>
    <message>
        <source>Show notifications</source>
        <translation>Mostrar notificações</translation>
    </message>
    <message>
        <source>Run on system startup</source>
        <translation>Executar ao iniciar o sistema</translation>
    </message>
    <message>
        <source>Open window on startup</source>
        <translation>Abrir a janela ao iniciar</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>Sincronização</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>New</source>
        <translation>Nova</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Editar</translation>
    </message>
    <message>
        <source>Toggle view</source>
        <translation>Mudar vista</translation>
    </message>
    <message>
        <source>Cleanup</source>
        <translation>Arrumar</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Procurar</translation>
    </message>
    <message>
        <source>New task</source>
        <translation>Nova tarefa</translation>
    </message>
    <message>
        <source>Edit the selected task</source>
        <translation>Editar a tarefa selecionada</translation>
    </message>
    <message>
        <source>Move the completed tasks to Completed</source>
        <translation>Mover as tarefas concluídas para Concluídas</translation>
    </message>
    <message>
        <source>Show or hide the group panel</source>
        <translation>Mostrar ou ocultar o painel de grupos</translation>
    </message>
    <message>
        <source>Find tasks</source>
        <translation>Procurar tarefas</translation>
    </message>
    <message>
        <source>Sync now</source>
        <translation>Sincronizar agora</translation>
    </message>
    <message>
        <source>Exchange the changes with the server now</source>
        <translation>Trocar agora as alterações com o servidor</translation>
    </message>
    <message>
        <source>Import iCalendar file…</source>
        <translation>Importar ficheiro iCalendar…</translation>
    </message>
    <message>
        <source>Add the tasks of an iCalendar file (.ics) to the group shown</source>
        <translation>Adicionar as tarefas de um ficheiro iCalendar (.ics) ao grupo mostrado</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Anular</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Anular «%1»</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Refazer</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Refazer «%1»</translation>
    </message>
</context>
<context>
    <name>QuickCapture</name>
    <message>
        <source>%1: the task database %2 was written by a newer version of %3; nothing was changed</source>
        <translation>%1: a base de dados de tarefas %2 foi escrita por uma versão mais recente do %3; nada foi alterado</translation>
    </message>
    <message>
        <source>%1: the task database %2 cannot be read; nothing was changed (start %3 to deal with it)</source>
        <translation>%1: não é possível ler a base de dados de tarefas %2; nada foi alterado (inicie o %3 para resolver o problema)</translation>
    </message>
    <message>
        <source>%1: the task could not be written to %2</source>
        <translation>%1: não foi possível escrever a tarefa em %2</translation>
    </message>
    <message>
        <source>%1: the task is too long to hand to the running %2</source>
        <translation>%1: a tarefa é demasiado longa para ser entregue ao %2 em execução</translation>
    </message>
    <message>
        <source>%1: the running %2 did not take the task</source>
        <translation>%1: o %2 em execução não aceitou a tarefa</translation>
    </message>
    <message>
        <source>%1: the running %2 cannot take tasks now (it is waiting for an answer in its window); the task was not added</source>
        <translation>%1: o %2 em execução não pode receber tarefas agora (está à espera de uma resposta na sua janela); a tarefa não foi adicionada</translation>
    </message>
    <message>
        <source>%1: the running %2 did not confirm the task in time; it may still be added, so look before adding it again</source>
        <translation>%1: o %2 em execução não confirmou a tarefa a tempo; ela ainda pode ser adicionada, por isso verifique antes de a adicionar de novo</translation>
    </message>
    <message>
        <source>%1: the running %2 took the task but cannot write it to the disk yet; it keeps trying (its window says why)</source>
        <translation>%1: o %2 em execução recebeu a tarefa mas ainda não a consegue gravar no disco; continua a tentar (a janela dele diz porquê)</translation>
    </message>
    <message>
        <source>%1: another process keeps the task database %2 busy; the task was not added</source>
        <translation>%1: outro processo mantém ocupada a base de dados de tarefas %2; a tarefa não foi adicionada</translation>
    </message>
</context>
<context>
    <name>RepeatButton</name>
    <message>
        <source>Does not repeat</source>
        <translation>Não se repete</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>Diariamente</translation>
    </message>
    <message>
        <source>Weekly on %1</source>
        <translation>Semanalmente: %1</translation>
    </message>
    <message>
        <source>Weekdays (%1 to %2)</source>
        <translation>Dias úteis (%1 a %2)</translation>
    </message>
    <message>
        <source>Monthly on day %1</source>
        <translation>Mensalmente no dia %1</translation>
    </message>
    <message>
        <source>Monthly on the last day</source>
        <translation>Mensalmente no último dia</translation>
    </message>
    <message>
        <source>Yearly on %1</source>
        <translation>Anualmente a %1</translation>
    </message>
    <message>
        <source>Custom…</source>
        <translation>Personalizar…</translation>
    </message>
</context>
<context>
    <name>RepeatDialog</name>
    <message>
        <source>day</source>
        <translation>dia</translation>
    </message>
    <message numerus="yes">
        <source>days</source>
        <comment>every N days</comment>
        <translation>
            <numerusform>dia</numerusform>
            <numerusform>dias</numerusform>
        </translation>
    </message>
    <message>
        <source>week</source>
        <translation>semana</translation>
    </message>
    <message numerus="yes">
        <source>weeks</source>
        <comment>every N weeks</comment>
        <translation>
            <numerusform>semana</numerusform>
            <numerusform>semanas</numerusform>
        </translation>
    </message>
    <message>
        <source>month</source>
        <translation>mês</translation>
    </message>
    <message numerus="yes">
        <source>months</source>
        <comment>every N months</comment>
        <translation>
            <numerusform>mês</numerusform>
            <numerusform>meses</numerusform>
        </translation>
    </message>
    <message>
        <source>year</source>
        <translation>ano</translation>
    </message>
    <message numerus="yes">
        <source>years</source>
        <comment>every N years</comment>
        <translation>
            <numerusform>ano</numerusform>
            <numerusform>anos</numerusform>
        </translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>Repetir</translation>
    </message>
    <message>
        <source>Every</source>
        <translation>A cada</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Em</translation>
    </message>
    <message>
        <source>On day</source>
        <translation>No dia</translation>
    </message>
    <message>
        <source>Day of the month</source>
        <translation>Dia do mês</translation>
    </message>
    <message>
        <source>On the last day</source>
        <translation>No último dia</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>RepeatText</name>
    <message>
        <source>d MMMM</source>
        <comment>day and month of a yearly repeat, a QDate format</comment>
        <translation>d &apos;de&apos; MMMM</translation>
    </message>
    <message>
        <source>every day</source>
        <translation>todos os dias</translation>
    </message>
    <message numerus="yes">
        <source>every %n days</source>
        <translation>
            <numerusform>a cada %n dia</numerusform>
            <numerusform>a cada %n dias</numerusform>
        </translation>
    </message>
    <message>
        <source>every week</source>
        <translation>todas as semanas</translation>
    </message>
    <message numerus="yes">
        <source>every %n weeks</source>
        <translation>
            <numerusform>a cada %n semana</numerusform>
            <numerusform>a cada %n semanas</numerusform>
        </translation>
    </message>
    <message>
        <source>every weekday (%1 to %2)</source>
        <translation>todos os dias úteis (%1 a %2)</translation>
    </message>
    <message>
        <source>, </source>
        <comment>between weekdays</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>every week on %1</source>
        <translation>todas as semanas: %1</translation>
    </message>
    <message numerus="yes">
        <source>every %n weeks on %1</source>
        <translation>
            <numerusform>a cada %n semana: %1</numerusform>
            <numerusform>a cada %n semanas: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>every month on the last day</source>
        <translation>todos os meses no último dia</translation>
    </message>
    <message numerus="yes">
        <source>every %n months on the last day</source>
        <translation>
            <numerusform>a cada %n mês no último dia</numerusform>
            <numerusform>a cada %n meses no último dia</numerusform>
        </translation>
    </message>
    <message>
        <source>every month</source>
        <translation>todos os meses</translation>
    </message>
    <message numerus="yes">
        <source>every %n months</source>
        <translation>
            <numerusform>a cada %n mês</numerusform>
            <numerusform>a cada %n meses</numerusform>
        </translation>
    </message>
    <message>
        <source>every month on day %1</source>
        <translation>todos os meses no dia %1</translation>
    </message>
    <message numerus="yes">
        <source>every %n months on day %1</source>
        <translation>
            <numerusform>a cada %n mês no dia %1</numerusform>
            <numerusform>a cada %n meses no dia %1</numerusform>
        </translation>
    </message>
    <message>
        <source>every year</source>
        <translation>todos os anos</translation>
    </message>
    <message numerus="yes">
        <source>every %n years</source>
        <translation>
            <numerusform>a cada %n ano</numerusform>
            <numerusform>a cada %n anos</numerusform>
        </translation>
    </message>
    <message>
        <source>every year on %1</source>
        <translation>todos os anos a %1</translation>
    </message>
    <message numerus="yes">
        <source>every %n years on %1</source>
        <translation>
            <numerusform>a cada %n ano a %1</numerusform>
            <numerusform>a cada %n anos a %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Does not repeat</source>
        <translation>Não se repete</translation>
    </message>
    <message>
        <source>Repeats: %1</source>
        <translation>Repete-se: %1</translation>
    </message>
</context>
<context>
    <name>SecretStore</name>
    <message>
        <source>there is no secret store on this desktop</source>
        <translation>não há cofre de palavras-passe neste ambiente de trabalho</translation>
    </message>
    <message>
        <source>the secret store refused access</source>
        <translation>o cofre de palavras-passe recusou o acesso</translation>
    </message>
    <message>
        <source>no secret store answered (%1)</source>
        <translation>nenhum cofre de palavras-passe respondeu (%1)</translation>
    </message>
</context>
<context>
    <name>SyncAccount</name>
    <message>
        <source>The password cannot be read: %1.</source>
        <translation>Não é possível ler a palavra-passe: %1.</translation>
    </message>
    <message>
        <source>The password is kept until %1 ends, not stored: %2.</source>
        <translation>A palavra-passe é mantida até o %1 terminar, mas não fica guardada: %2.</translation>
    </message>
    <message>
        <source>Enter the address of the server.</source>
        <translation>Introduza o endereço do servidor.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a server address.</source>
        <translation>&quot;%1&quot; não é um endereço de servidor.</translation>
    </message>
    <message>
        <source>Plain http is only for a server on this computer: use https.</source>
        <translation>O http simples é só para um servidor neste computador: use https.</translation>
    </message>
</context>
<context>
    <name>SyncCommand</name>
    <message>
        <source>%1: no sync account is set up (use --sync-account URL --user NAME)</source>
        <translation>%1: não há conta de sincronização configurada (use --sync-account URL --user NOME)</translation>
    </message>
    <message>
        <source>%1: no password: give it with --password-stdin, or store it in the secret store</source>
        <translation>%1: sem palavra-passe: indique-a com --password-stdin ou guarde-a no cofre de palavras-passe</translation>
    </message>
    <message>
        <source>%1: standard input held no password</source>
        <translation>%1: a entrada padrão não continha nenhuma palavra-passe</translation>
    </message>
    <message>
        <source>%1: the task database %2 cannot be read; nothing was synced</source>
        <translation>%1: não é possível ler a base de dados de tarefas %2; nada foi sincronizado</translation>
    </message>
    <message>
        <source>%1: another process keeps the task database %2 busy; nothing was synced</source>
        <translation>%1: outro processo mantém ocupada a base de dados de tarefas %2; nada foi sincronizado</translation>
    </message>
    <message>
        <source>%1: the running %2 did not answer in time</source>
        <translation>%1: o %2 em execução não respondeu a tempo</translation>
    </message>
    <message>
        <source>%1: the running %2 cannot sync now (it is waiting for an answer in its window)</source>
        <translation>%1: o %2 em execução não pode sincronizar agora (espera uma resposta na sua janela)</translation>
    </message>
    <message>
        <source>%1: sync failed: %2</source>
        <translation>%1: a sincronização falhou: %2</translation>
    </message>
    <message>
        <source>%1: the server cannot be reached (%2); nothing is lost, try again later</source>
        <translation>%1: não é possível contactar o servidor (%2); nada se perdeu, tente mais tarde</translation>
    </message>
    <message>
        <source>%1: the server refused the user name or password</source>
        <translation>%1: o servidor recusou o nome de utilizador ou a palavra-passe</translation>
    </message>
    <message>
        <source>Synced: %1 received, %2 sent, %3 conflicts kept</source>
        <translation>Sincronizado: %1 recebidas, %2 enviadas, %3 conflitos mantidos</translation>
    </message>
    <message>
        <source>The account is set up; task lists paired with groups: %1</source>
        <translation>A conta está configurada; listas de tarefas associadas a grupos: %1</translation>
    </message>
    <message>
        <source>Synced by the running %1</source>
        <translation>Sincronizado pelo %1 em execução</translation>
    </message>
    <message>
        <source>The account is set up in the running %1</source>
        <translation>A conta está configurada no %1 em execução</translation>
    </message>
    <message>
        <source>the running %1 says why in its window</source>
        <translation>o %1 em execução diz porquê na sua janela</translation>
    </message>
    <message>
        <source>%1: %2 tasks on the server could not be read and were left alone</source>
        <translation>%1: não foi possível ler %2 tarefas no servidor, que ficaram como estavam</translation>
    </message>
</context>
<context>
    <name>SyncPass</name>
    <message>
        <source>The new groups could not be written to the database.</source>
        <translation>Não foi possível gravar os novos grupos na base de dados.</translation>
    </message>
    <message>
        <source>The changes from the server could not be written to the database; they are fetched again next time.</source>
        <translation>Não foi possível gravar as alterações do servidor na base de dados; serão obtidas de novo da próxima vez.</translation>
    </message>
    <message>
        <source>The sync state could not be written (%1).</source>
        <translation>Não foi possível gravar o estado da sincronização (%1).</translation>
    </message>
</context>
<context>
    <name>SyncPrefsPage</name>
    <message>
        <source>&amp;Server address:</source>
        <translation>Endereço do &amp;servidor:</translation>
    </message>
    <message>
        <source>example.org or https://example.org/dav/tasks/</source>
        <translation>example.org ou https://example.org/dav/tasks/</translation>
    </message>
    <message>
        <source>The address of a task list, or just the server&apos;s name. Empty: sync is off.</source>
        <translation>O endereço de uma lista de tarefas, ou só o nome do servidor. Vazio: a sincronização fica desligada.</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>Nome de &amp;utilizador:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Palavra-passe:</translation>
    </message>
    <message>
        <source>Stored: leave empty to keep it</source>
        <translation>Guardada: deixe vazio para a manter</translation>
    </message>
    <message>
        <source>Sync &amp;every:</source>
        <translation>Sincronizar a &amp;cada:</translation>
    </message>
    <message>
        <source>Sync &amp;now</source>
        <translation>Sincronizar &amp;agora</translation>
    </message>
    <message>
        <source>&amp;Groups and the server lists they sync with:</source>
        <translation>&amp;Grupos e as listas do servidor com que sincronizam:</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Grupo</translation>
    </message>
    <message>
        <source>Server list</source>
        <translation>Lista no servidor</translation>
    </message>
    <message>
        <source>No group syncs with a server list yet: the first sync pairs them.</source>
        <translation>Ainda nenhum grupo sincroniza com uma lista do servidor: a primeira sincronização associa-os.</translation>
    </message>
    <message>
        <source>Enter your user name on the server.</source>
        <translation>Introduza o seu nome de utilizador no servidor.</translation>
    </message>
    <message>
        <source>Enter your password on the server.</source>
        <translation>Introduza a sua palavra-passe no servidor.</translation>
    </message>
    <message numerus="yes">
        <source> minute</source>
        <comment>sync interval</comment>
        <translation>
            <numerusform> minuto</numerusform>
            <numerusform> minutos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> minutes</source>
        <comment>sync interval</comment>
        <translation>
            <numerusform> minuto</numerusform>
            <numerusform> minutos</numerusform>
        </translation>
    </message>
    <message>
        <source>Sync is off</source>
        <translation>A sincronização está desligada</translation>
    </message>
    <message>
        <source>Received %1, sent %2, conflicts %3, skipped objects %4</source>
        <translation>Recebidas %1, enviadas %2, conflitos %3, objetos ignorados %4</translation>
    </message>
    <message>
        <source>Last synced: %1</source>
        <translation>Última sincronização: %1</translation>
    </message>
</context>
<context>
    <name>SyncStatusMark</name>
    <message>
        <source>Sync soon</source>
        <translation>Sinc. em breve</translation>
    </message>
    <message>
        <source>Syncing…</source>
        <translation>A sincronizar…</translation>
    </message>
    <message>
        <source>Synced %1</source>
        <translation>Sinc. %1</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Sem ligação</translation>
    </message>
    <message>
        <source>Check sync</source>
        <translation>Verificar</translation>
    </message>
</context>
<context>
    <name>TaskListWidget</name>
    <message>
        <source>Submit your ideas on features, any likes and dislikes</source>
        <translation>Enviar ideias de funcionalidades, elogios e críticas</translation>
    </message>
    <message>
        <source>Visit %1 to submit ideas</source>
        <translation>Visite %1 para enviar as suas ideias</translation>
    </message>
    <message>
        <source>Create a focus group</source>
        <translation>Criar um grupo de foco</translation>
    </message>
    <message>
        <source>Right-click anywhere on the left panel and select &quot;Add group&quot; menu.</source>
        <translation>Clique com o botão direito em qualquer ponto do painel esquerdo e escolha &quot;Adicionar grupo&quot; no menu.</translation>
    </message>
    <message>
        <source>Support the team and development</source>
        <translation>Apoiar a equipa e o desenvolvimento</translation>
    </message>
    <message>
        <source>Visit %1 and make a donation to support the team if you like the software.</source>
        <translation>Se gosta do programa, visite %1 e faça um donativo para apoiar a equipa.</translation>
    </message>
    <message>
        <source>Have a coffee :)</source>
        <translation>Tomar um café :)</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>Concluir</translation>
    </message>
    <message>
        <source>Reopen</source>
        <translation>Reabrir</translation>
    </message>
    <message>
        <source>New task</source>
        <translation>Nova tarefa</translation>
    </message>
    <message>
        <source>Cleanup</source>
        <translation>Arrumar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>Add examples</source>
        <translation>Adicionar exemplos</translation>
    </message>
    <message>
        <source>Reorder</source>
        <translation>Reordenar</translation>
    </message>
</context>
<context>
    <name>TaskMerge</name>
    <message>
        <source>——— Kept from a conflicting edit ———</source>
        <translation>——— Guardado de uma edição em conflito ———</translation>
    </message>
    <message>
        <source>——— Kept from a conflicting edit (%1) ———</source>
        <translation>——— Guardado de uma edição em conflito (%1) ———</translation>
    </message>
    <message>
        <source>Name: %1</source>
        <translation>Nome: %1</translation>
    </message>
</context>
<context>
    <name>TaskStorageCommiter</name>
    <message>
        <source>cannot create %1: %2</source>
        <translation>não é possível criar %1: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>não é possível gravar %1: %2</translation>
    </message>
    <message>
        <source>cannot replace %1: %2</source>
        <translation>não é possível substituir %1: %2</translation>
    </message>
    <message>
        <source>no room left on the disk</source>
        <translation>não há espaço livre no disco</translation>
    </message>
</context>
<context>
    <name>TaskWidget</name>
    <message>
        <source>Task name</source>
        <translation>Nome da tarefa</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notas</translation>
    </message>
    <message>
        <source>&lt;Unnamed task&gt;</source>
        <translation>&lt;Tarefa sem nome&gt;</translation>
    </message>
    <message>
        <source>Today</source>
        <comment>due date</comment>
        <translation>Hoje</translation>
    </message>
    <message>
        <source>Tomorrow</source>
        <comment>due date</comment>
        <translation>Amanhã</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>Concluir</translation>
    </message>
    <message>
        <source>Reopen</source>
        <translation>Reabrir</translation>
    </message>
    <message>
        <source>Edit task</source>
        <translation>Editar tarefa</translation>
    </message>
</context>
<context>
    <name>Toolbar</name>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Program menu (%1)</source>
        <translation>Menu do programa (%1)</translation>
    </message>
    <message>
        <source>Commands</source>
        <translation>Comandos</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Show %1</source>
        <translation>Mostrar %1</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Exportar...</translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation>Preferências...</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>New version</source>
        <translation>Nova versão</translation>
    </message>
    <message>
        <source>A new version %1 is available! Click here to download.</source>
        <translation>Está disponível a nova versão %1! Clique aqui para a transferir.</translation>
    </message>
    <message>
        <source>Your changes cannot be saved to the disk: %1</source>
        <translation>Não é possível guardar as suas alterações no disco: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
</context>
<context>
    <name>UndoCommands</name>
    <message>
        <source>Cannot undo %1: %2</source>
        <translation>Não é possível anular «%1»: %2</translation>
    </message>
    <message>
        <source>Cannot redo %1: %2</source>
        <translation>Não é possível refazer «%1»: %2</translation>
    </message>
    <message>
        <source>Undone: %1</source>
        <translation>Anulado: %1</translation>
    </message>
    <message>
        <source>Redone: %1</source>
        <translation>Refeito: %1</translation>
    </message>
</context>
<context>
    <name>UndoHistory</name>
    <message>
        <source>Finish the current change first</source>
        <translation>Termine primeiro a alteração em curso</translation>
    </message>
    <message>
        <source>The task was deleted elsewhere</source>
        <translation>A tarefa foi eliminada noutro lado</translation>
    </message>
    <message>
        <source>The tasks were deleted elsewhere</source>
        <translation>As tarefas foram eliminadas noutro lado</translation>
    </message>
    <message>
        <source>The group was removed elsewhere</source>
        <translation>O grupo foi removido noutro lado</translation>
    </message>
</context>
<context>
    <name>UninstallOptionsPage</name>
    <message>
        <source>Remove user data</source>
        <translation>Remover os dados do utilizador</translation>
    </message>
    <message>
        <source>Uninstall options</source>
        <translation>Opções de desinstalação</translation>
    </message>
    <message>
        <source>Set uninstall options and continue.</source>
        <translation>Defina as opções de desinstalação e continue.</translation>
    </message>
</context>
<context>
    <name>UninstallWizard</name>
    <message>
        <source>Uninstall %1</source>
        <translation>Desinstalação do %1</translation>
    </message>
</context>
<context>
    <name>WelcomePage</name>
    <message>
        <source>Welcome</source>
        <translation>Bem-vindo</translation>
    </message>
    <message>
        <source>Welcome to %1 installation wizard.</source>
        <translation>Bem-vindo ao assistente de instalação do %1.</translation>
    </message>
    <message>
        <source>&lt;p&gt;You are about to install %1.&lt;/p&gt;&lt;p&gt;%1 is a simple task manager that keeps your tasks in focus groups, so that you see what matters now and nothing else.&lt;/p&gt;&lt;p&gt;Visit &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt; for more information.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Está prestes a instalar o %1.&lt;/p&gt;&lt;p&gt;O %1 é um gestor de tarefas simples que organiza as suas tarefas em grupos de foco, para que veja apenas o que importa agora e mais nada.&lt;/p&gt;&lt;p&gt;Visite &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt; para mais informações.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>WriteFailureBar</name>
    <message>
        <source>Changes are not saved</source>
        <translation>As alterações não estão guardadas</translation>
    </message>
    <message>
        <source>Your changes cannot be saved to the disk: %1. %2 keeps trying; quitting now keeps a rescue copy of your tasks.</source>
        <translation>Não é possível guardar as suas alterações no disco: %1. O %2 continua a tentar; se sair agora, é guardada uma cópia de recurso das suas tarefas.</translation>
    </message>
</context>
<context>
    <name>install::InstallWorker</name>
    <message>
        <source>Installing files...</source>
        <translation>A instalar os ficheiros...</translation>
    </message>
    <message>
        <source>Creating links...</source>
        <translation>A criar os atalhos...</translation>
    </message>
    <message>
        <source>Removing user data...</source>
        <translation>A remover os dados do utilizador...</translation>
    </message>
    <message>
        <source>Creating uninstall keys...</source>
        <translation>A registar a desinstalação...</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Concluído.</translation>
    </message>
    <message>
        <source>Installation failed.</source>
        <translation>A instalação falhou.</translation>
    </message>
    <message>
        <source>Rolling back...</source>
        <translation>A reverter as alterações...</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>&lt;p&gt;The task database was created with a newer version of %1 application.&lt;/p&gt;&lt;p&gt;Please visit &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt; to upgrade your installation.&lt;/p&gt;</source>
        <translation>&lt;p&gt;A base de dados de tarefas foi criada com uma versão mais recente da aplicação %1.&lt;/p&gt;&lt;p&gt;Visite &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt; para atualizar a sua instalação.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Task database failed to load for some reason. %1 can not continue to avoid further database corruption.&lt;/p&gt;&lt;p&gt;Please visit &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt; and request help.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Não foi possível carregar a base de dados de tarefas. O %1 não pode continuar, para evitar danificar ainda mais a base de dados.&lt;/p&gt;&lt;p&gt;Visite &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt; para pedir ajuda.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>%1 installation</source>
        <translation>Instalação do %1</translation>
    </message>
    <message>
        <source>%1 uninstallation</source>
        <translation>Desinstalação do %1</translation>
    </message>
    <message>
        <source>Please close all %1 windows, exit from tray icon and try again.</source>
        <translation>Feche todas as janelas do %1, saia através do ícone na área de notificação e tente novamente.</translation>
    </message>
    <message>
        <source>The task database is damaged. Start with the backup from %1 (1 task)?</source>
        <translation>A base de dados de tarefas está danificada. Começar com a cópia de segurança de %1 (1 tarefa)?</translation>
    </message>
    <message numerus="yes">
        <source>The task database is damaged. Start with the backup from %1 (%n tasks)?</source>
        <translation>
            <numerusform>A base de dados de tarefas está danificada. Começar com a cópia de segurança de %1 (%n tarefa)?</numerusform>
            <numerusform>A base de dados de tarefas está danificada. Começar com a cópia de segurança de %1 (%n tarefas)?</numerusform>
        </translation>
    </message>
    <message>
        <source>When %1 last ended it could not write your tasks to %2. Your tasks as they were then are kept in this copy:

%3

To go on from the copy, quit %1 and put the copy in place of %2.</source>
        <translation>Da última vez que terminou, o %1 não conseguiu gravar as suas tarefas em %2. As suas tarefas, tal como estavam nessa altura, estão guardadas nesta cópia:

%3

Para continuar a partir da cópia, saia do %1 e ponha a cópia no lugar de %2.</translation>
    </message>
</context>
<context>
    <name>sync::SyncService</name>
    <message>
        <source>Sync is off</source>
        <translation>A sincronização está desligada</translation>
    </message>
    <message>
        <source>Sync needs the password</source>
        <translation>A sincronização precisa da palavra-passe</translation>
    </message>
    <message>
        <source>Sync starts soon</source>
        <translation>A sincronização começa em breve</translation>
    </message>
    <message>
        <source>Syncing…</source>
        <translation>A sincronizar…</translation>
    </message>
    <message>
        <source>Synced at %1</source>
        <translation>Sincronizado às %1</translation>
    </message>
    <message>
        <source>Offline: changes are sent when the server can be reached</source>
        <translation>Sem ligação: as alterações são enviadas quando for possível contactar o servidor</translation>
    </message>
    <message>
        <source>Offline: %1</source>
        <translation>Sem ligação: %1</translation>
    </message>
    <message>
        <source>Sync needs attention: %1</source>
        <translation>A sincronização precisa de atenção: %1</translation>
    </message>
    <message>
        <source>no password was given</source>
        <translation>não foi indicada nenhuma palavra-passe</translation>
    </message>
</context>
</TS>
