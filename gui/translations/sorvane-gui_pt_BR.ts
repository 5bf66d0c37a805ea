<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>CheckText</name>
    <message>
        <source>lists</source>
        <translation>das listas de pacotes</translation>
    </message>
    <message>
        <source>package database</source>
        <translation>do banco de dados de pacotes</translation>
    </message>
    <message>
        <source>%1 — checking for updates…</source>
        <translation>%1 — procurando atualizações…</translation>
    </message>
    <message>
        <source>just now</source>
        <translation>agora mesmo</translation>
    </message>
    <message>
        <source>could not check: %1</source>
        <translation>não foi possível verificar: %1</translation>
    </message>
    <message>
        <source>no package repository is configured</source>
        <translation>nenhum repositório de pacotes está configurado</translation>
    </message>
    <message>
        <source>no package repository is enabled</source>
        <translation>nenhum repositório de pacotes está ativado</translation>
    </message>
    <message>
        <source>the snap service (snapd) is not running</source>
        <translation>o serviço do snap (snapd) não está em execução</translation>
    </message>
    <message>
        <source>an earlier installation was left unfinished: %1</source>
        <translation>uma instalação anterior ficou incompleta: %1</translation>
    </message>
    <message>
        <source>in use by another program: %1</source>
        <translation>em uso por outro programa: %1</translation>
    </message>
    <message>
        <source>this computer is not connected to a network</source>
        <translation>este computador não está conectado a uma rede</translation>
    </message>
    <message>
        <source>This is often Debian&apos;s own pacman, installed to build packages for Arch Linux: remove it (sudo apt remove pacman-package-manager makepkg) or configure a repository in /etc/pacman.conf.</source>
        <translation>Geralmente é o pacman do próprio Debian, instalado para criar pacotes para o Arch Linux: remova-o (sudo apt remove pacman-package-manager makepkg) ou configure um repositório em /etc/pacman.conf.</translation>
    </message>
    <message>
        <source>Enable a repository, or remove %1.</source>
        <translation>Ative um repositório ou remova o %1.</translation>
    </message>
    <message>
        <source>Start it (sudo systemctl enable --now snapd.socket), or remove snapd.</source>
        <translation>Inicie-o (sudo systemctl enable --now snapd.socket) ou remova o snapd.</translation>
    </message>
    <message>
        <source>Finish it first: sudo dpkg --configure -a</source>
        <translation>Conclua-a primeiro: sudo dpkg --configure -a</translation>
    </message>
    <message>
        <source>Wait until it has finished.</source>
        <translation>Aguarde até que ele termine.</translation>
    </message>
    <message>
        <source>Connect to a network.</source>
        <translation>Conecte-se a uma rede.</translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>%1 — cannot update: %2</source>
        <translation>%1 — não é possível atualizar: %2</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message numerus="yes">
        <source>nothing to update, %n kept back</source>
        <translation>
            <numerusform>nada para atualizar, %n retido</numerusform>
            <numerusform>nada para atualizar, %n retidos</numerusform>
        </translation>
    </message>
    <message>
        <source>up to date</source>
        <translation>atualizado</translation>
    </message>
    <message>
        <source>%1 to download</source>
        <translation>%1 para baixar</translation>
    </message>
    <message>
        <source>%1 from %2</source>
        <translation>última atualização %1: %2</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 %2 → %3</source>
        <translation>%1 %2 → %3</translation>
    </message>
    <message>
        <source>%1 (security)</source>
        <translation>%1 (segurança)</translation>
    </message>
    <message>
        <source>The update would stop at %1.</source>
        <translation>A atualização pararia no %1.</translation>
    </message>
    <message>
        <source>It is a security update.</source>
        <translation>É uma atualização de segurança.</translation>
    </message>
    <message>
        <source>Open Sorvane Update</source>
        <translation>Abrir o Sorvane Update</translation>
    </message>
    <message>
        <source>Your changes to %1 will be kept; if the update brings a new version of it, that goes beside it.</source>
        <translation>Suas alterações em %1 serão mantidas; se a atualização trouxer uma nova versão, ela é colocada ao lado.</translation>
    </message>
    <message>
        <source>There is not enough room on %1: the update needs about %2 there, and %3 is free.</source>
        <translation>Não há espaço suficiente em %1: a atualização precisa de cerca de %2 ali, e há %3 livres.</translation>
    </message>
    <message>
        <source>To make room: %1.</source>
        <translation>Para liberar espaço: %1.</translation>
    </message>
    <message>
        <source>This computer is not connected to a network, so the update could download nothing. Connect, then check again.</source>
        <translation>Este computador não está conectado a uma rede, então a atualização não conseguiria baixar nada. Conecte-se e verifique novamente.</translation>
    </message>
    <message>
        <source>The update would stop at %1, and leave %2 alone.</source>
        <translation>A atualização pararia no %1 e não mexeria em %2.</translation>
    </message>
    <message>
        <source>Then check again.</source>
        <translation>Depois, verifique novamente.</translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s) ago</source>
        <translation>
            <numerusform>há %n minuto</numerusform>
            <numerusform>há %n minutos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s) ago</source>
        <translation>
            <numerusform>há %n hora</numerusform>
            <numerusform>há %n horas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>há %n dia</numerusform>
            <numerusform>há %n dias</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n atualização</numerusform>
            <numerusform>%n atualizações</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n security)</source>
        <translation>
            <numerusform>%1 (%n de segurança)</numerusform>
            <numerusform>%1 (%n de segurança)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) will be kept (%1); where the update brings new versions, they go beside them.</source>
        <translation>
            <numerusform>Suas alterações em %n arquivo de configuração serão mantidas (%1); se a atualização trouxer uma nova versão, ela é colocada ao lado.</numerusform>
            <numerusform>Suas alterações em %n arquivos de configuração serão mantidas (%1); se a atualização trouxer novas versões, elas são colocadas ao lado.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) are waiting</source>
        <translation>
            <numerusform>%n atualização está aguardando</numerusform>
            <numerusform>%n atualizações estão aguardando</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them are security updates.</source>
        <translation>
            <numerusform>%n delas é uma atualização de segurança.</numerusform>
            <numerusform>%n delas são atualizações de segurança.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 (kept back: %2)</source>
        <translation>%1 (retido: %2)</translation>
    </message>
    <message>
        <source>held: you or an administrator told %1 not to update it</source>
        <translation>bloqueado: você ou um administrador pediu ao %1 que não o atualize</translation>
    </message>
    <message>
        <source>being rolled out to %1 % of computers</source>
        <translation>sendo distribuído para %1 % dos computadores</translation>
    </message>
    <message>
        <source>being rolled out to some computers first</source>
        <translation>sendo distribuído primeiro para alguns computadores</translation>
    </message>
    <message>
        <source>its new version needs changes to other packages that this update does not make</source>
        <translation>sua nova versão precisa de mudanças em outros pacotes que esta atualização não faz</translation>
    </message>
    <message>
        <source>checked %1</source>
        <translation>verificado %1</translation>
    </message>
    <message>
        <source>The lists could not be refreshed for this check (%1): this is what they knew when they were last refreshed.</source>
        <translation>Não foi possível atualizar as listas para esta verificação (%1): isto é o que elas sabiam quando foram atualizadas pela última vez.</translation>
    </message>
    <message>
        <source>not checked on a metered connection</source>
        <translation>não verificado em uma conexão limitada</translation>
    </message>
    <message>
        <source>%1, which is held, needs the version installed now</source>
        <translation>%1, que está retido, precisa da versão instalada agora</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show these options and exit.</source>
        <translation>Mostrar estas opções e sair.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Mostrar a versão e sair.</translation>
    </message>
    <message>
        <source>Check for updates without a window. Exit status: 0 up to date, 100 updates pending, 101 only held-back security updates, 1 the check failed.</source>
        <translation>Procurar atualizações sem janela. Status de saída: 0 atualizado, 100 atualizações pendentes, 101 apenas atualizações de segurança retidas, 1 a verificação falhou.</translation>
    </message>
    <message>
        <source>With --check or --history: write JSON.</source>
        <translation>Com --check ou --history: escrever JSON.</translation>
    </message>
    <message>
        <source>With --check: show a desktop notice when updates are waiting.</source>
        <translation>Com --check: mostrar um aviso na área de trabalho quando houver atualizações esperando.</translation>
    </message>
    <message>
        <source>With --check: write the check as Prometheus metrics.</source>
        <translation>Com --check: escrever a verificação como métricas do Prometheus.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>With --prometheus: write the metrics to FILE (for the node exporter&apos;s textfile collector) rather than to stdout.</source>
        <translation>Com --prometheus: escrever as métricas em FILE (para o coletor textfile do node exporter) em vez da saída padrão.</translation>
    </message>
    <message>
        <source>With --check: answer as a Nagios or Icinga plugin.</source>
        <translation>Com --check: responder como um plugin do Nagios ou Icinga.</translation>
    </message>
    <message>
        <source>RANGE</source>
        <translation>RANGE</translation>
    </message>
    <message>
        <source>With --nagios: warn when the pending updates are in RANGE (default 0).</source>
        <translation>Com --nagios: avisar quando as atualizações pendentes estiverem em RANGE (padrão 0).</translation>
    </message>
    <message>
        <source>With --nagios: critical when the security updates are in RANGE (default 0).</source>
        <translation>Com --nagios: crítico quando as atualizações de segurança estiverem em RANGE (padrão 0).</translation>
    </message>
    <message>
        <source>With --nagios: warn when the package lists&apos; age in seconds is in RANGE.</source>
        <translation>Com --nagios: avisar quando a idade das listas de pacotes, em segundos, estiver em RANGE.</translation>
    </message>
    <message>
        <source>With --nagios: critical when the package lists&apos; age in seconds is in RANGE.</source>
        <translation>Com --nagios: crítico quando a idade das listas de pacotes, em segundos, estiver em RANGE.</translation>
    </message>
    <message>
        <source>List every package manager&apos;s past transactions, newest first.</source>
        <translation>Listar as transações anteriores de cada gerenciador de pacotes, as mais recentes primeiro.</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <translation>YYYY-MM-DD</translation>
    </message>
    <message>
        <source>With --history: only transactions from that day on.</source>
        <translation>Com --history: só as transações a partir desse dia.</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>With --history: only transactions that touched NAME.</source>
        <translation>Com --history: só as transações que envolveram NAME.</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>Uso:</translation>
    </message>
    <message>
        <source>Sorvane Update: the window that updates every package manager at once, and the same check without a window, for scripts, notices and monitoring.</source>
        <translation>Sorvane Update: a janela que atualiza todos os gerenciadores de pacotes de uma vez, e a mesma verificação sem janela, para scripts, avisos e monitoramento.</translation>
    </message>
    <message>
        <source>unknown option: %1</source>
        <translation>opção desconhecida: %1</translation>
    </message>
    <message>
        <source>unexpected argument: %1</source>
        <translation>argumento inesperado: %1</translation>
    </message>
    <message>
        <source>%1 needs --check or --history</source>
        <translation>%1 precisa de --check ou --history</translation>
    </message>
    <message>
        <source>%1 cannot be used with %2</source>
        <translation>%1 não pode ser usado com %2</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 foi informado duas vezes</translation>
    </message>
    <message>
        <source>--package needs a package name</source>
        <translation>--package precisa de um nome de pacote</translation>
    </message>
    <message>
        <source>Try &apos;sorvane-gui --help&apos; for the options.</source>
        <translation>Tente “sorvane-gui --help” para ver as opções.</translation>
    </message>
    <message>
        <source>not a date: %1</source>
        <translation>não é uma data: %1</translation>
    </message>
    <message>
        <source>Qt&apos;s options</source>
        <translation>opções do Qt</translation>
    </message>
</context>
<context>
    <name>HistoryText</name>
    <message>
        <source>succeeded</source>
        <translation>concluída</translation>
    </message>
    <message>
        <source>succeeded with warnings</source>
        <translation>concluída, com avisos</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>falhou</translation>
    </message>
    <message>
        <source>unfinished</source>
        <translation>não terminada</translation>
    </message>
    <message>
        <source>upgraded</source>
        <translation>atualizado</translation>
    </message>
    <message>
        <source>installed</source>
        <translation>instalado</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>removido</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>alterado</translation>
    </message>
    <message numerus="yes">
        <source>%n upgraded</source>
        <translation>
            <numerusform>%n atualizado</numerusform>
            <numerusform>%n atualizados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n installed</source>
        <translation>
            <numerusform>%n instalado</numerusform>
            <numerusform>%n instalados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n removed</source>
        <translation>
            <numerusform>%n removido</numerusform>
            <numerusform>%n removidos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n changed otherwise</source>
        <translation>
            <numerusform>%n alterado de outra forma</numerusform>
            <numerusform>%n alterados de outra forma</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) changed</source>
        <translation>
            <numerusform>%n pacote alterado</numerusform>
            <numerusform>%n pacotes alterados</numerusform>
        </translation>
    </message>
    <message>
        <source>no packages changed</source>
        <translation>nenhum pacote alterado</translation>
    </message>
    <message>
        <source>elsewhere</source>
        <translation>em outro lugar</translation>
    </message>
    <message>
        <source>Sorvane Update, with warnings</source>
        <translation>Sorvane Update, com avisos</translation>
    </message>
    <message>
        <source>Sorvane Update, which failed</source>
        <translation>Sorvane Update, que falhou</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation>Não foi possível ler %1: %2</translation>
    </message>
    <message>
        <source>%1  %2  %3  %4  (through %5)</source>
        <translation>%1  %2  %3  %4  (por meio de %5)</translation>
    </message>
    <message numerus="yes">
        <source>%n config file(s) kept as you changed them</source>
        <translation>
            <numerusform>%n arquivo de configuração mantido com suas alterações</numerusform>
            <numerusform>%n arquivos de configuração mantidos com suas alterações</numerusform>
        </translation>
    </message>
    <message>
        <source>The computer restarted after it.</source>
        <translation>O computador foi reiniciado depois.</translation>
    </message>
    <message>
        <source>Log: %1</source>
        <translation>Registro: %1</translation>
    </message>
    <message>
        <source>No updates found.</source>
        <translation>Nenhuma atualização encontrada.</translation>
    </message>
</context>
<context>
    <name>Notifier</name>
    <message>
        <source>The notice was shown; Sorvane Update opens.</source>
        <translation>O aviso foi exibido; o Sorvane Update está abrindo.</translation>
    </message>
    <message>
        <source>The notice was shown and closed.</source>
        <translation>O aviso foi exibido e fechado.</translation>
    </message>
    <message>
        <source>The notice was shown.</source>
        <translation>O aviso foi exibido.</translation>
    </message>
    <message>
        <source>No notice: these updates were announced before.</source>
        <translation>Sem aviso: essas atualizações já foram anunciadas.</translation>
    </message>
    <message>
        <source>No notice: nothing is waiting.</source>
        <translation>Sem aviso: nada está aguardando.</translation>
    </message>
    <message>
        <source>No notice: the check failed.</source>
        <translation>Sem aviso: a verificação falhou.</translation>
    </message>
    <message>
        <source>No notice: &quot;Tell me when updates are waiting&quot; is turned off.</source>
        <translation>Sem aviso: “Avisar quando houver atualizações aguardando” está desativado.</translation>
    </message>
    <message>
        <source>No notice: there is no session bus.</source>
        <translation>Sem aviso: não há barramento de sessão.</translation>
    </message>
    <message>
        <source>No notice: nothing on the session bus shows notifications.</source>
        <translation>Sem aviso: nada no barramento de sessão exibe notificações.</translation>
    </message>
    <message>
        <source>No notice: the notification service refused it: %1</source>
        <translation>Sem aviso: o serviço de notificações o recusou: %1</translation>
    </message>
    <message>
        <source>Sorvane Update could not be opened.</source>
        <translation>Não foi possível abrir o Sorvane Update.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open log</source>
        <translation>Abrir registro</translation>
    </message>
    <message>
        <source>Nothing on this computer opens folders. The log is kept here:</source>
        <translation>Nada neste computador abre pastas. O registro está aqui:</translation>
    </message>
    <message>
        <source>Copy path</source>
        <translation>Copiar caminho</translation>
    </message>
    <message>
        <source>Copies where the log is kept</source>
        <translation>Copia onde o registro está</translation>
    </message>
</context>
<context>
    <name>SystemWords</name>
    <message>
        <source>%1 gets regular security updates until %2.</source>
        <translation>%1 recebe atualizações de segurança regulares até %2.</translation>
    </message>
    <message>
        <source>%1 gets regular security updates until %2; long-term support until %3.</source>
        <translation>%1 recebe atualizações de segurança regulares até %2; suporte de longo prazo até %3.</translation>
    </message>
    <message>
        <source>This computer is running on battery (%1 %).</source>
        <translation>Este computador está usando a bateria (%1 %).</translation>
    </message>
    <message>
        <source>This computer is running on battery.</source>
        <translation>Este computador está usando a bateria.</translation>
    </message>
    <message>
        <source>The battery is low: plug the computer in to update it, so that it cannot stop halfway.</source>
        <translation>A bateria está fraca: ligue o computador na tomada para atualizá-lo, para que ele não pare no meio.</translation>
    </message>
    <message>
        <source>Power saver is on: the update may take longer.</source>
        <translation>A economia de energia está ativada: a atualização pode demorar mais.</translation>
    </message>
    <message>
        <source>This connection is metered: the update will download %1 over it.</source>
        <translation>Esta conexão é limitada: a atualização vai baixar %1 por ela.</translation>
    </message>
    <message>
        <source>This connection is metered: the update downloads its packages over it.</source>
        <translation>Esta conexão é limitada: a atualização baixa seus pacotes por ela.</translation>
    </message>
    <message>
        <source>The daily check did not look for updates: the connection was metered.</source>
        <translation>A verificação diária não procurou atualizações: a conexão era limitada.</translation>
    </message>
    <message>
        <source>Plug in to update</source>
        <translation>Ligue na tomada para atualizar</translation>
    </message>
    <message>
        <source>Hide until regular support ends</source>
        <translation>Ocultar até o fim do suporte regular</translation>
    </message>
    <message>
        <source>%1 is in long-term support until %2.</source>
        <translation>%1 está em suporte de longo prazo até %2.</translation>
    </message>
    <message>
        <source>Hide until long-term support ends</source>
        <translation>Ocultar até o fim do suporte de longo prazo</translation>
    </message>
    <message>
        <source>%1 no longer gets regular security updates: its support ended on %2.</source>
        <translation>%1 não recebe mais atualizações de segurança regulares: seu suporte terminou em %2.</translation>
    </message>
    <message>
        <source>%1 no longer gets security updates: its long-term support ended on %2.</source>
        <translation>%1 não recebe mais atualizações de segurança: seu suporte de longo prazo terminou em %2.</translation>
    </message>
    <message>
        <source>How to upgrade</source>
        <translation>Como mudar de versão</translation>
    </message>
    <message>
        <source>How to upgrade: %1</source>
        <translation>Como mudar de versão: %1</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Aviso: %1</translation>
    </message>
</context>
<context>
    <name>UpdateEnd</name>
    <message>
        <source>Restart now</source>
        <translation>Reiniciar agora</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::DetailsPane</name>
    <message>
        <source>What&apos;s new</source>
        <translation>Novidades</translation>
    </message>
    <message>
        <source>Update details</source>
        <translation>Detalhes da atualização</translation>
    </message>
    <message>
        <source>Fetches what is new in the selected update</source>
        <translation>Obtém as novidades da atualização selecionada</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::HistoryItems</name>
    <message>
        <source>When</source>
        <translation>Quando</translation>
    </message>
    <message>
        <source>Manager</source>
        <translation>Gerenciador</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Alterações</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Resultado</translation>
    </message>
    <message>
        <source>Through</source>
        <translation>Por meio de</translation>
    </message>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n atualização</numerusform>
            <numerusform>%n atualizações</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n update(s)</source>
        <translation>
            <numerusform>%1 de %n atualização</numerusform>
            <numerusform>%1 de %n atualizações</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>sorvane::gui::HistoryPage</name>
    <message>
        <source>Open log</source>
        <translation>Abrir registro</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Histórico</translation>
    </message>
    <message>
        <source>Filter by package name</source>
        <translation>Filtrar por nome de pacote</translation>
    </message>
    <message>
        <source>Manager</source>
        <translation>Gerenciador</translation>
    </message>
    <message>
        <source>All managers</source>
        <translation>Todos os gerenciadores</translation>
    </message>
    <message>
        <source>Updates, newest first</source>
        <translation>Atualizações, mais recentes primeiro</translation>
    </message>
    <message>
        <source>Updates shown</source>
        <translation>Atualizações exibidas</translation>
    </message>
    <message>
        <source>Sources that could not be read</source>
        <translation>Fontes que não puderam ser lidas</translation>
    </message>
    <message>
        <source>Opens the folder the log of the selected update is kept in</source>
        <translation>Abre a pasta onde fica o registro da atualização selecionada</translation>
    </message>
    <message>
        <source>Reading the history…</source>
        <translation>Lendo o histórico…</translation>
    </message>
    <message>
        <source>%1 (reading older logs…)</source>
        <translation>%1 (lendo registros mais antigos…)</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::PackageDetails</name>
    <message>
        <source>Select an update to see what is new in it.</source>
        <translation>Selecione uma atualização para ver o que ela traz de novo.</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 %2 → %3</source>
        <translation>%1 %2 → %3</translation>
    </message>
    <message>
        <source>Advisories: %1</source>
        <translation>Avisos: %1</translation>
    </message>
    <message>
        <source>%1 does not say what is new in its updates.</source>
        <translation>%1 não informa o que há de novo em suas atualizações.</translation>
    </message>
    <message>
        <source>Fetching what is new…</source>
        <translation>Obtendo as novidades…</translation>
    </message>
    <message>
        <source>What is new could not be fetched: %1</source>
        <translation>Não foi possível obter as novidades: %1</translation>
    </message>
    <message>
        <source>Nothing is written about this version.</source>
        <translation>Nada foi escrito sobre esta versão.</translation>
    </message>
    <message>
        <source>%1 has nothing to say about what is new in this update.</source>
        <translation>%1 não tem nada a dizer sobre o que há de novo nesta atualização.</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::ReadyPage</name>
    <message>
        <source>Package managers</source>
        <translation>Gerenciadores de pacotes</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Atualizar</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>Verificar novamente</translation>
    </message>
    <message>
        <source>Use my password anyway</source>
        <translation>Usar minha senha mesmo assim</translation>
    </message>
    <message>
        <source>Repair…</source>
        <translation>Reparar…</translation>
    </message>
    <message>
        <source>Ready to update</source>
        <translation>Pronto para atualizar</translation>
    </message>
    <message>
        <source>Your password</source>
        <translation>Sua senha</translation>
    </message>
    <message>
        <source>Opens a terminal that finishes the unfinished installation</source>
        <translation>Abre um terminal que conclui a instalação inacabada</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Detalhes</translation>
    </message>
    <message>
        <source>Shows every pending update</source>
        <translation>Mostra cada atualização pendente</translation>
    </message>
    <message>
        <source>Commands to run in a terminal</source>
        <translation>Comandos para executar em um terminal</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message>
        <source>Copies the commands</source>
        <translation>Copia os comandos</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::RunPage</name>
    <message>
        <source>Steps</source>
        <translation>Etapas</translation>
    </message>
    <message>
        <source>Update progress</source>
        <translation>Progresso da atualização</translation>
    </message>
    <message>
        <source>Latest output</source>
        <translation>Última saída</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Detalhes</translation>
    </message>
    <message>
        <source>Shows the update&apos;s whole output</source>
        <translation>Mostra toda a saída da atualização</translation>
    </message>
    <message>
        <source>Full log</source>
        <translation>Registro completo</translation>
    </message>
    <message>
        <source>Restart now</source>
        <translation>Reiniciar agora</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Mais tarde</translation>
    </message>
    <message>
        <source>Failed at %p%</source>
        <translation>Falhou em %p%</translation>
    </message>
    <message>
        <source>The update failed</source>
        <translation>A atualização falhou</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateItems</name>
    <message>
        <source>waiting</source>
        <translation>aguardando</translation>
    </message>
    <message>
        <source>running</source>
        <translation>em execução</translation>
    </message>
    <message>
        <source>done</source>
        <translation>concluído</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>falhou</translation>
    </message>
    <message>
        <source>not run</source>
        <translation>não executado</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Versão</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>updated</source>
        <translation>atualizado</translation>
    </message>
    <message>
        <source>not updated</source>
        <translation>não atualizado</translation>
    </message>
    <message>
        <source>security update</source>
        <translation>atualização de segurança</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>kept back: %1</source>
        <translation>retido: %1</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateModel</name>
    <message>
        <source>%1 cannot be checked.</source>
        <translation>Não é possível verificar %1.</translation>
    </message>
    <message>
        <source>%1 belongs to another user, who could change what runs as root.</source>
        <translation>%1 pertence a outro usuário, que poderia alterar o que é executado como root.</translation>
    </message>
    <message>
        <source>%1 can be changed by other users, who could change what runs as root.</source>
        <translation>Outros usuários podem alterar %1 e, com isso, o que é executado como root.</translation>
    </message>
    <message>
        <source>%1 leads through too many links.</source>
        <translation>%1 passa por links simbólicos demais.</translation>
    </message>
    <message>
        <source>The update script cannot be read: %1</source>
        <translation>Não é possível ler o script de atualização: %1</translation>
    </message>
    <message>
        <source>The update script&apos;s folder is not yours.</source>
        <translation>A pasta do script de atualização não pertence a você.</translation>
    </message>
    <message>
        <source>Other users can change the update script&apos;s folder.</source>
        <translation>Outros usuários podem alterar a pasta do script de atualização.</translation>
    </message>
    <message>
        <source>The update script is not a plain file.</source>
        <translation>O script de atualização não é um arquivo comum.</translation>
    </message>
    <message>
        <source>The update script is not yours.</source>
        <translation>O script de atualização não pertence a você.</translation>
    </message>
    <message>
        <source>Other users can read or change the update script.</source>
        <translation>Outros usuários podem ler ou alterar o script de atualização.</translation>
    </message>
    <message>
        <source>The update script is not the one Sorvane writes.</source>
        <translation>O script de atualização não é o que o Sorvane gera.</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>Packages are being updated</source>
        <translation>Pacotes estão sendo atualizados</translation>
    </message>
    <message>
        <source>Sorvane Update cannot tell where it is installed.</source>
        <translation>O Sorvane Update não consegue determinar onde está instalado.</translation>
    </message>
    <message>
        <source>No trusted system bash was found.</source>
        <translation>Nenhum bash confiável do sistema foi encontrado.</translation>
    </message>
    <message>
        <source>No private folder could be made for the update: %1</source>
        <translation>Não foi possível criar uma pasta privada para a atualização: %1</translation>
    </message>
    <message>
        <source>Looking for package managers took too long and was stopped.</source>
        <translation>A busca por gerenciadores de pacotes demorou demais e foi interrompida.</translation>
    </message>
    <message>
        <source>Sorvane answered in a way this window does not understand.</source>
        <translation>O Sorvane respondeu de um jeito que esta janela não entende.</translation>
    </message>
    <message>
        <source>sudo is not installed, and system packages can only be updated with it.</source>
        <translation>O sudo não está instalado, e os pacotes do sistema só podem ser atualizados com ele.</translation>
    </message>
    <message>
        <source>An update is already running; it was started in another window. Here is how it goes.</source>
        <translation>Já há uma atualização em andamento, iniciada em outra janela. Acompanhe aqui o progresso.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>Procurando atualizações…</translation>
    </message>
    <message>
        <source>Your account may not install updates</source>
        <translation>Sua conta talvez não possa instalar atualizações</translation>
    </message>
    <message>
        <source>The update would not succeed</source>
        <translation>A atualização não seria concluída</translation>
    </message>
    <message>
        <source>Your system is up to date</source>
        <translation>Seu sistema está atualizado</translation>
    </message>
    <message>
        <source>Ready to update</source>
        <translation>Pronto para atualizar</translation>
    </message>
    <message>
        <source>Installing updates needs an administrator&apos;s rights, and your account is in none of the groups that have them (sudo, wheel or admin). Ask the person who looks after this computer to update it, or to give your account those rights.</source>
        <translation>Instalar atualizações exige direitos de administrador, e sua conta não está em nenhum dos grupos que os têm (sudo, wheel ou admin). Peça à pessoa que cuida deste computador para atualizá-lo ou para dar esses direitos à sua conta.</translation>
    </message>
    <message>
        <source>Nothing is waiting. The update can still fetch the newest package lists.</source>
        <translation>Não há nada pendente. Mesmo assim, a atualização pode buscar as listas de pacotes mais recentes.</translation>
    </message>
    <message>
        <source>Nothing is waiting.</source>
        <translation>Não há nada pendente.</translation>
    </message>
    <message>
        <source>The password is longer than sudo accepts.</source>
        <translation>A senha é mais longa do que o sudo aceita.</translation>
    </message>
    <message>
        <source>The password cannot hold a line break or a NUL character.</source>
        <translation>A senha não pode conter quebra de linha nem caractere NUL.</translation>
    </message>
    <message>
        <source>The package managers changed since the check. Here is what the update would do now.</source>
        <translation>Os gerenciadores de pacotes mudaram desde a verificação. Veja o que a atualização faria agora.</translation>
    </message>
    <message>
        <source>Another window has started an update meanwhile.</source>
        <translation>Enquanto isso, outra janela iniciou uma atualização.</translation>
    </message>
    <message>
        <source>sudo did not ask for the password, so it was not used and has been discarded.</source>
        <translation>O sudo não pediu a senha, então ela não foi usada e foi descartada.</translation>
    </message>
    <message>
        <source>Tell me when updates are waiting</source>
        <translation>Avisar quando houver atualizações aguardando</translation>
    </message>
    <message>
        <source>%1 is updating…</source>
        <translation>%1 está atualizando…</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>sudo did not allow the update</source>
        <translation>O sudo não permitiu a atualização</translation>
    </message>
    <message>
        <source>The password was not accepted</source>
        <translation>A senha não foi aceita</translation>
    </message>
    <message>
        <source>Password for %1</source>
        <translation>Senha de %1</translation>
    </message>
    <message>
        <source>%1 MB of output in the middle were left out of the log file to save space.</source>
        <translation>%1 MB de saída do meio foram deixados fora do registro para economizar espaço.</translation>
    </message>
    <message>
        <source>Checking the password…</source>
        <translation>Verificando a senha…</translation>
    </message>
    <message>
        <source>Updating…</source>
        <translation>Atualizando…</translation>
    </message>
    <message>
        <source>Update complete</source>
        <translation>Atualização concluída</translation>
    </message>
    <message>
        <source>Finished with warnings: %1 ended without an error but did not update %2</source>
        <translation>Concluído com avisos: %1 terminou sem erro, mas não atualizou %2</translation>
    </message>
    <message>
        <source>Finished with warnings: “%1”</source>
        <translation>Concluído com avisos: “%1”</translation>
    </message>
    <message>
        <source>Finished with warnings from %1: “%2”</source>
        <translation>Concluído com avisos de %1: “%2”</translation>
    </message>
    <message>
        <source>The %1 step failed (exit status %2). Later steps did not run.</source>
        <translation>A etapa %1 falhou (status de saída %2). As etapas seguintes não foram executadas.</translation>
    </message>
    <message>
        <source>The update failed (exit status %1).</source>
        <translation>A atualização falhou (status de saída %1).</translation>
    </message>
    <message>
        <source>%1: not run</source>
        <translation>%1: não executado</translation>
    </message>
    <message>
        <source>%1: failed</source>
        <translation>%1: falhou</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1: concluído</translation>
    </message>
    <message>
        <source>Restart the computer to finish the update.</source>
        <translation>Reinicie o computador para concluir a atualização.</translation>
    </message>
    <message>
        <source>The computer could not be restarted: %1</source>
        <translation>Não foi possível reiniciar o computador: %1</translation>
    </message>
    <message>
        <source>The update started at %1 finished.</source>
        <translation>A atualização iniciada às %1 terminou.</translation>
    </message>
    <message>
        <source>The update started at %1 finished: %2.</source>
        <translation>A atualização iniciada às %1 terminou: %2.</translation>
    </message>
    <message>
        <source>The update started at %1 finished with warnings.</source>
        <translation>A atualização iniciada às %1 terminou com avisos.</translation>
    </message>
    <message>
        <source>The update started at %1 finished with warnings from %2.</source>
        <translation>A atualização iniciada às %1 terminou com avisos do %2.</translation>
    </message>
    <message>
        <source>The update started at %1 did not finish.</source>
        <translation>A atualização iniciada às %1 não terminou.</translation>
    </message>
    <message>
        <source>The update started at %1 failed at %2.</source>
        <translation>A atualização iniciada às %1 falhou no %2.</translation>
    </message>
    <message>
        <source>%1: %2 (not updated)</source>
        <translation>%1: %2 (não atualizado)</translation>
    </message>
    <message>
        <source>The computer cannot be restarted from here: logind, which restarts it, is not running. Restart it from the system menu.</source>
        <translation>O computador não pode ser reiniciado daqui: o logind, que o reinicia, não está em execução. Reinicie-o pelo menu do sistema.</translation>
    </message>
    <message>
        <source>The computer was not restarted: nothing could ask you for permission to restart it.</source>
        <translation>O computador não foi reiniciado: nada pôde pedir sua permissão para reiniciá-lo.</translation>
    </message>
    <message>
        <source>The computer was not restarted: permission to restart it was not given.</source>
        <translation>O computador não foi reiniciado: a permissão para reiniciá-lo não foi dada.</translation>
    </message>
    <message>
        <source>The computer is restarting.</source>
        <translation>O computador está reiniciando.</translation>
    </message>
    <message>
        <source>The update did not finish, or how it ended is not known.</source>
        <translation>A atualização não terminou, ou não se sabe como ela terminou.</translation>
    </message>
    <message>
        <source>The %1 step failed: the filesystem of %2 is full (%3 free). Make room there — “sudo apt clean” removes the packages apt has downloaded — then update again.</source>
        <translation>A etapa %1 falhou: o sistema de arquivos de %2 está cheio (%3 livres). Libere espaço nele — “sudo apt clean” remove os pacotes que o apt baixou — e atualize novamente.</translation>
    </message>
    <message>
        <source>The %1 step failed: a package server could not be reached. Check the network connection, then update again.</source>
        <translation>A etapa %1 falhou: não foi possível acessar um servidor de pacotes. Verifique a conexão de rede e atualize novamente.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package server %2 could not be reached. Check the network connection, then update again.</source>
        <translation>A etapa %1 falhou: não foi possível acessar o servidor de pacotes %2. Verifique a conexão de rede e atualize novamente.</translation>
    </message>
    <message>
        <source>The %1 step failed: another program is using the package database. Wait until it has finished, then update again.</source>
        <translation>A etapa %1 falhou: outro programa está usando o banco de dados de pacotes. Aguarde até que ele termine e atualize novamente.</translation>
    </message>
    <message>
        <source>The %1 step failed: %2 is using the package database. Wait until it has finished, then update again.</source>
        <translation>A etapa %1 falhou: %2 está usando o banco de dados de pacotes. Aguarde até que ele termine e atualize novamente.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package %2 could not be set up; its installation script failed. Its message is in Details. Other packages may be left unfinished.</source>
        <translation>A etapa %1 falhou: o pacote %2 não pôde ser configurado; o script de instalação dele falhou. A mensagem está em Detalhes. Outros pacotes podem ter ficado inacabados.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package %2 asked what to do with your changed configuration file %3, and no answer could be given here.</source>
        <translation>A etapa %1 falhou: o pacote %2 perguntou o que fazer com o seu arquivo de configuração alterado %3, e nenhuma resposta pôde ser dada aqui.</translation>
    </message>
    <message>
        <source>The %1 step failed: “%2” Later steps did not run.</source>
        <translation>A etapa %1 falhou: “%2” As etapas seguintes não foram executadas.</translation>
    </message>
    <message>
        <source>%1: downloading %2 of %3</source>
        <translation>%1: baixando %2 de %3</translation>
    </message>
    <message>
        <source>%1: unpacking %2 of %3</source>
        <translation>%1: desempacotando %2 de %3</translation>
    </message>
    <message>
        <source>%1: setting up %2 of %3</source>
        <translation>%1: configurando %2 de %3</translation>
    </message>
    <message>
        <source>%1: installing %2 of %3</source>
        <translation>%1: instalando %2 de %3</translation>
    </message>
    <message>
        <source>Your changes to %1 were kept; the new version is beside it: %2.</source>
        <translation>Suas alterações em %1 foram mantidas; a nova versão está ao lado: %2.</translation>
    </message>
    <message>
        <source>The repair runs in the terminal. When the terminal is closed, this window checks again.</source>
        <translation>O reparo está sendo executado no terminal. Quando o terminal for fechado, esta janela verificará novamente.</translation>
    </message>
    <message>
        <source>No terminal program was found (xdg-terminal-exec or x-terminal-emulator). Open a terminal, run the command below and answer its questions there; a failing package&apos;s own message is shown there too.</source>
        <translation>Nenhum programa de terminal foi encontrado (xdg-terminal-exec ou x-terminal-emulator). Abra um terminal, execute o comando abaixo e responda lá às perguntas dele; a mensagem de um pacote que falhar também aparece lá.</translation>
    </message>
    <message>
        <source>Repair… opens a terminal that runs %1. Type your password there and answer any question it asks. If a package&apos;s setup fails again, its own message is shown in the terminal. When the terminal is closed, this window checks again.</source>
        <translation>“Reparar…” abre um terminal que executa %1. Digite sua senha lá e responda a qualquer pergunta. Se a configuração de um pacote falhar de novo, a mensagem dele aparece no terminal. Quando o terminal for fechado, esta janela verificará novamente.</translation>
    </message>
    <message>
        <source>Press Enter to close this window.</source>
        <translation>Pressione Enter para fechar esta janela.</translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) are ready</source>
        <translation>
            <numerusform>%n atualização está pronta</numerusform>
            <numerusform>%n atualizações estão prontas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated by %1</source>
        <translation>
            <numerusform>%n pacote atualizado pelo %1</numerusform>
            <numerusform>%n pacotes atualizados pelo %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restart the computer to finish the update: %1 take(s) effect only then.</source>
        <translation>
            <numerusform>Reinicie o computador para concluir a atualização: %1 só passa a valer depois disso.</numerusform>
            <numerusform>Reinicie o computador para concluir a atualização: %1 só passam a valer depois disso.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n package(s) updated</source>
        <translation>
            <numerusform>%1: %n pacote atualizado</numerusform>
            <numerusform>%1: %n pacotes atualizados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of %n app(s) and runtime(s) updated</source>
        <translation>
            <numerusform>%1: %2 de %n aplicativo ou ambiente de execução atualizado</numerusform>
            <numerusform>%1: %2 de %n aplicativos e ambientes de execução atualizados</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2, %3</source>
        <translation>%1: %2, %3</translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated</source>
        <translation>
            <numerusform>%n pacote atualizado</numerusform>
            <numerusform>%n pacotes atualizados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) kept back</source>
        <translation>
            <numerusform>%n pacote sem atualizar</numerusform>
            <numerusform>%n pacotes sem atualizar</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) were kept; the new versions are beside them: %1.</source>
        <translation>
            <numerusform>Suas alterações em %n arquivo de configuração foram mantidas; a nova versão está ao lado: %1.</numerusform>
            <numerusform>Suas alterações em %n arquivos de configuração foram mantidas; as novas versões estão ao lado: %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Atualizar</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateRun</name>
    <message>
        <source>No private folder could be made for the update: %1</source>
        <translation>Não foi possível criar uma pasta privada para a atualização: %1</translation>
    </message>
    <message>
        <source>The update could not start: %1</source>
        <translation>Não foi possível iniciar a atualização: %1</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateTree</name>
    <message>
        <source>Filter packages</source>
        <translation>Filtrar pacotes</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateWindow</name>
    <message>
        <source>Check again</source>
        <translation>Verificar novamente</translation>
    </message>
    <message>
        <source>No supported package managers found</source>
        <translation>Nenhum gerenciador de pacotes compatível encontrado</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Looking for package managers…</source>
        <translation>Procurando gerenciadores de pacotes…</translation>
    </message>
    <message>
        <source>There is nothing for Sorvane to update on this computer.</source>
        <translation>Não há nada que o Sorvane possa atualizar neste computador.</translation>
    </message>
    <message>
        <source>Nothing was updated</source>
        <translation>Nada foi atualizado</translation>
    </message>
    <message>
        <source>Close while updating?</source>
        <translation>Fechar durante a atualização?</translation>
    </message>
    <message>
        <source>The update will go on to its end without this window. Close it?</source>
        <translation>A atualização continuará até o fim sem esta janela. Fechá-la?</translation>
    </message>
    <message>
        <source>Looking for package managers</source>
        <translation>Procurando gerenciadores de pacotes</translation>
    </message>
    <message>
        <source>Restart now</source>
        <translation>Reiniciar agora</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Mais tarde</translation>
    </message>
    <message>
        <source>Copy log</source>
        <translation>Copiar registro</translation>
    </message>
    <message>
        <source>Copies the update&apos;s whole log</source>
        <translation>Copia o registro completo da atualização</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configurações</translation>
    </message>
    <message>
        <source>Open log</source>
        <translation>Abrir registro</translation>
    </message>
    <message>
        <source>Opens the folder the update&apos;s log is kept in</source>
        <translation>Abre a pasta onde o registro da atualização é mantido</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Histórico</translation>
    </message>
    <message>
        <source>Shows what every package manager did before</source>
        <translation>Mostra o que cada gerenciador de pacotes fez antes</translation>
    </message>
</context>
</TS>
